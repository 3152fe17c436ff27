#include "merge/encoding/EncodingWatch.h"

namespace {

constexpr qint64 presumeUtf8After = 64 * 1024;

} // namespace

void EncodingWatch::start(qint64 outputStart)
{
    m_current = -1;
    m_lastEnd = outputStart;
    m_stopped = -1;
    m_restarts = false;
}

void EncodingWatch::follow(qsizetype input)
{
    if (input != m_current) {
        m_current = input;
        m_presumedUtf8 = false;
        m_cut = false;
        m_scan = {};
    }
}

EncodingRule EncodingWatch::scanRule() const
{
    return m_rule;
}

bool EncodingWatch::feed(qsizetype input, const InputScan& scan)
{
    follow(input);
    m_scan = scan;
    // Once a mark is seen, or nothing more can change the encoding, it is known
    // whether the bytes stay.
    if (scan.soFar.markSize > 0 || scan.final)
        m_cut = !m_rule.keepsBytes(scan.soFar, input == 0);
    else
        m_cut = m_presumedUtf8 =
            m_rule.output() == TextEncoding::Gb18030 && scan.utf8SoFar && scan.bytes >= presumeUtf8After;
    return !m_cut;
}

bool EncodingWatch::endInput(qsizetype input, qint64 outputEnd)
{
    follow(input);
    // An input cut short is known by its start; the rewrite reads it whole.
    const DetectedEncoding found = m_presumedUtf8 ? DetectedEncoding{TextEncoding::Utf8, 0}
                                   : m_cut        ? m_scan.soFar
                                                  : m_scan.whole;
    const bool keeps = m_rule.keepsBytes(found, input == 0);
    const bool fixesHere = m_rule.wouldFix(found);
    add(found);
    m_current = -1;
    if (keeps) {
        m_lastEnd = outputEnd;
        return true;
    }
    m_stopped = input;
    m_restarts = fixesHere && !m_rule.mark().isEmpty();
    return false;
}

bool EncodingWatch::stopped() const
{
    return m_stopped >= 0;
}

qsizetype EncodingWatch::stoppedInput() const
{
    return m_stopped;
}

qint64 EncodingWatch::cutAt() const
{
    return m_restarts ? 0 : m_lastEnd;
}

bool EncodingWatch::restarts() const
{
    return m_restarts;
}

void EncodingWatch::add(const DetectedEncoding& input)
{
    m_rule.add(input);
    m_found.append(input);
}

const EncodingRule& EncodingWatch::rule() const
{
    return m_rule;
}

InputAction EncodingWatch::actionFor(qsizetype input) const
{
    return m_rule.actionFor(m_found.at(input));
}

const DetectedEncoding& EncodingWatch::found(qsizetype input) const
{
    return m_found.at(input);
}

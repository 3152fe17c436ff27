#include "merge/EncodingWatch.h"

void EncodingWatch::start(qsizetype first, qint64 outputStart)
{
    m_first = first;
    m_current = -1;
    m_lastEnd = outputStart;
    m_stopped = -1;
    m_restarts = false;
}

void EncodingWatch::follow(qsizetype input)
{
    if (input != m_current) {
        m_current = input;
        m_detector = EncodingDetector();
    }
}

void EncodingWatch::feed(qsizetype input, const char* data, qsizetype size)
{
    follow(input);
    m_detector.feed(data, size);
}

bool EncodingWatch::endInput(qsizetype input, qint64 outputEnd)
{
    follow(input);
    const bool fixedBefore = fixesEncoding(m_output);
    const InputAction action = add(m_detector.result());
    const bool fixedHere = !fixedBefore && fixesEncoding(m_output);
    const qsizetype index = m_first + input;
    // The first input's mark is the output's own, wherever the output takes it.
    const bool fits =
        action == InputAction::Copy || (fixedHere && index == 0 && action == InputAction::CopyWithoutMark);
    m_current = -1;
    if (fits) {
        m_lastEnd = outputEnd;
        return true;
    }
    m_stopped = index;
    m_restarts = fixedHere && !m_mark.isEmpty();
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

InputAction EncodingWatch::add(const DetectedEncoding& input)
{
    if (!fixesEncoding(m_output) && fixesEncoding(input.encoding)) {
        m_output = input.encoding;
        m_mark = markOf(input);
    }
    m_found.append(input);
    return actionFor(input, m_output);
}

TextEncoding EncodingWatch::output() const
{
    return m_output;
}

const QByteArray& EncodingWatch::mark() const
{
    return m_mark;
}

const DetectedEncoding& EncodingWatch::found(qsizetype input) const
{
    return m_found.at(input);
}

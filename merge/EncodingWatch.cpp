#include "merge/EncodingWatch.h"

namespace {

// Into a GB18030 output, text that is still valid UTF-8 this far in is taken for
// UTF-8 and converted (see EncodedCopy), rather than copied whole and then cut back.
constexpr qint64 presumeUtf8After = 64 * 1024;

} // namespace

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
        m_presumedUtf8 = false;
        // Once the output's encoding is fixed, text that is not UTF-8 is taken for
        // GB18030 unchecked: into GB18030 it is copied either way, and into UTF-8 the
        // conversion finds out (see EncodedCopy).
        m_detector = EncodingDetector(fixesEncoding(m_output) ? EncodingDetector::Gb18030Check::Unchecked
                                                              : EncodingDetector::Gb18030Check::Checked);
    }
}

bool EncodingWatch::feed(qsizetype input, const char* data, qsizetype size)
{
    follow(input);
    m_detector.feed(data, size);
    if (m_detector.isFinal())
        return fits(m_detector.result(), m_first + input);
    m_presumedUtf8 = m_output == TextEncoding::Gb18030 && m_detector.isUtf8SoFar() &&
                     m_detector.bytesFed() >= presumeUtf8After;
    return !m_presumedUtf8;
}

bool EncodingWatch::fits(const DetectedEncoding& found, qsizetype index) const
{
    const bool fixedHere = !fixesEncoding(m_output) && fixesEncoding(found.encoding);
    const InputAction action = actionFor(found, fixedHere ? found.encoding : m_output);
    // The first input's mark is the output's own, wherever the output takes it.
    return action == InputAction::Copy || (fixedHere && index == 0 && action == InputAction::CopyWithoutMark);
}

bool EncodingWatch::endInput(qsizetype input, qint64 outputEnd)
{
    follow(input);
    const DetectedEncoding found =
        m_presumedUtf8 ? DetectedEncoding{TextEncoding::Utf8, 0} : m_detector.result();
    const qsizetype index = m_first + input;
    const bool fitsAsCopied = fits(found, index);
    const bool fixedHere = !fixesEncoding(m_output) && fixesEncoding(found.encoding);
    (void)add(found);
    m_current = -1;
    if (fitsAsCopied) {
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

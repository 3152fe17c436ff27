#include "text/EncodingRule.h"

namespace {

bool fixesEncoding(TextEncoding encoding)
{
    return encoding != TextEncoding::Ascii && encoding != TextEncoding::Unknown;
}

QByteArray markOf(const DetectedEncoding& input)
{
    switch (input.encoding) {
    case TextEncoding::Utf16Le:
        return QByteArray("\xFF\xFE");
    case TextEncoding::Utf16Be:
        return QByteArray("\xFE\xFF");
    case TextEncoding::Utf8:
        return input.markSize > 0 ? QByteArray("\xEF\xBB\xBF") : QByteArray();
    default:
        return {};
    }
}

InputAction actionIn(const DetectedEncoding& input, TextEncoding output)
{
    if (!input.validText)
        return InputAction::NotText;
    // UTF-16's line ends are characters, which a byte copy would break.
    if (isUtf16(input.encoding) || (isUtf16(output) && input.encoding == TextEncoding::Ascii))
        return InputAction::Convert;
    if (input.encoding == TextEncoding::Unknown)
        return isUtf16(output) ? InputAction::Refuse : InputAction::Copy;
    if (input.encoding == TextEncoding::Ascii || output == TextEncoding::Ascii)
        return InputAction::Copy;
    if (input.encoding != output)
        return InputAction::Convert;
    return input.markSize > 0 ? InputAction::CopyWithoutMark : InputAction::Copy;
}

} // namespace

bool isUtf16(TextEncoding encoding)
{
    return encoding == TextEncoding::Utf16Le || encoding == TextEncoding::Utf16Be;
}

void EncodingRule::add(const DetectedEncoding& input)
{
    if (wouldFix(input)) {
        m_output = input.encoding;
        m_mark = markOf(input);
    }
}

InputAction EncodingRule::actionFor(const DetectedEncoding& input) const
{
    return actionIn(input, m_output);
}

bool EncodingRule::wouldFix(const DetectedEncoding& input) const
{
    return !isFixed() && fixesEncoding(input.encoding);
}

bool EncodingRule::isFixed() const
{
    return fixesEncoding(m_output);
}

bool EncodingRule::keepsBytes(const DetectedEncoding& input, bool firstInput) const
{
    const bool fixes = wouldFix(input);
    const InputAction action = actionIn(input, fixes ? input.encoding : m_output);
    return action == InputAction::Copy || (fixes && firstInput && action == InputAction::CopyWithoutMark);
}

TextEncoding EncodingRule::output() const
{
    return m_output;
}

const QByteArray& EncodingRule::mark() const
{
    return m_mark;
}

#include "merge/EncodingPlan.h"

#include <algorithm>

bool fixesEncoding(TextEncoding encoding)
{
    return encoding != TextEncoding::Ascii && encoding != TextEncoding::Unknown;
}

bool isUtf16(TextEncoding encoding)
{
    return encoding == TextEncoding::Utf16Le || encoding == TextEncoding::Utf16Be;
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

InputAction actionFor(const DetectedEncoding& input, TextEncoding output)
{
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

EncodingPlan planEncodings(const QList<DetectedEncoding>& inputs)
{
    EncodingPlan plan;
    const auto first = std::find_if(inputs.cbegin(), inputs.cend(), [](const DetectedEncoding& input) {
        return fixesEncoding(input.encoding);
    });
    if (first != inputs.cend()) {
        plan.output = first->encoding;
        plan.mark = markOf(*first);
    }
    for (const DetectedEncoding& input : inputs)
        plan.actions.append(actionFor(input, plan.output));
    return plan;
}

#include "merge/encoding/InputRewriter.h"

#include "merge/copy/CopyProgress.h"
#include "merge/copy/ReadAheadCopy.h"
#include "merge/copy/Separator.h"
#include "merge/copy/WholeInput.h"
#include "merge/encoding/ConversionTransform.h"
#include "merge/encoding/FoundAgain.h"
#include "merge/encoding/InputEncoding.h"
#include "merge/output/MergeOutput.h"
#include "text/Gb18030Codec.h"

#include <QByteArray>

#include <algorithm>

namespace {

// Converted text is made block by block: small blocks keep it in the processor's cache.
constexpr qsizetype largestBlock = qsizetype(256) * 1024;

MergeResult inputChanged(const NativePath& path)
{
    return MergeResult::failure(MergeStatus::InputChanged, path, 0);
}

} // namespace

MergeResult refusalOf(InputAction action, const NativePath& path)
{
    switch (action) {
    case InputAction::Refuse:
        return MergeResult::failure(MergeStatus::EncodingUnknown, path, 0);
    case InputAction::NotText:
        return inputChanged(path);
    default:
        return MergeResult::success();
    }
}

InputRewriter::InputRewriter(const QList<NativePath>& inputs, MergeOutput& output, qsizetype blockSize,
                             const std::atomic<bool>* cancel, CopyProgress* progress)
    : m_inputs(inputs), m_output(output), m_blockSize(std::clamp<qsizetype>(blockSize, 16, largestBlock)),
      m_cancel(cancel), m_progress(progress)
{}

InputRewriter::~InputRewriter() = default;

MergeResult InputRewriter::write(qsizetype input, const DetectedEncoding& found, const EncodingRule& rule,
                                 bool& converted)
{
    const qint64 start = m_output.size();
    const MergeResult written = writeAsFound(input, found, rule);
    // A UTF-16 input into a UTF-16 output of its byte order only has its line ends mended.
    converted =
        written.ok() && rule.actionFor(found) == InputAction::Convert && found.encoding != rule.output();
    if (written.ok() || !mayBeOtherText(written, input, found, rule))
        return written;
    if (MergeResult cut = m_output.truncate(start); !cut.ok())
        return cut;
    return writeAsFound(input, {TextEncoding::Unknown, 0}, rule);
}

MergeResult InputRewriter::writeAsFound(qsizetype input, const DetectedEncoding& found,
                                        const EncodingRule& rule)
{
    const InputAction action = rule.actionFor(found);
    if (MergeResult refused = refusalOf(action, m_inputs.at(input)); !refused.ok())
        return refused;
    return action == InputAction::Convert ? convert(input, found, rule.output())
                                          : copyBytes(input, found, rule);
}

// Whether an input whose conversion failed may be text that goes in as its bytes:
// it was taken for GB18030 or UTF-8 without being read to its end, and either was
// not valid in that encoding, or could not be encoded, which for text that is not
// UTF-8 after all (read to its end now) means nothing. Its bytes then go in as
// those of any text of unknown encoding, or of GB18030 into GB18030 (the copy finds
// out if it changed meanwhile).
bool InputRewriter::mayBeOtherText(const MergeResult& failure, qsizetype input, const DetectedEncoding& found,
                                   const EncodingRule& rule)
{
    const bool presumed = found.encoding == TextEncoding::Gb18030 || found.encoding == TextEncoding::Utf8;
    if (!presumed || isUtf16(rule.output()))
        return false;
    if (failure.status == MergeStatus::InputChanged)
        return true;
    DetectedEncoding now;
    return failure.status == MergeStatus::CannotConvert && found.encoding == TextEncoding::Utf8 &&
           readEncoding(m_inputs.at(input), m_output.identity(), m_blockSize, m_cancel, now).ok() &&
           rule.actionFor(now) == InputAction::Copy;
}

MergeResult InputRewriter::copyBytes(qsizetype input, const DetectedEncoding& found, const EncodingRule& rule)
{
    FoundAgain check(found, rule);
    const bool withoutMark = rule.actionFor(found) == InputAction::CopyWithoutMark;
    const CopyJob job{.inputs = m_inputs,
                      .output = m_output,
                      .first = input,
                      .end = input + 1,
                      .blockSize = m_blockSize,
                      .encoding = rule.output(),
                      .skipFirst = withoutMark ? found.markSize : 0,
                      .cancel = m_cancel,
                      .watch = &check,
                      .progress = m_progress};
    if (MergeResult copied = copyReadingAhead(job); !copied.ok())
        return copied;
    return check.changed() ? inputChanged(m_inputs.at(input)) : MergeResult::success();
}

MergeResult InputRewriter::convert(qsizetype input, const DetectedEncoding& found, TextEncoding output)
{
    const QByteArrayView separator = separatorBefore(input, output);
    if (MergeResult written = m_output.write(separator.data(), separator.size()); !written.ok())
        return written;
    if (!m_codec)
        m_codec = std::make_unique<Gb18030Codec>();
    ConversionTransform conversion(found.encoding, output, *m_codec, m_inputs.at(input));
    if (m_progress != nullptr)
        m_progress->enter(input);
    return readWholeInput(
        m_inputs.at(input), m_output.identity(), m_blockSize, m_cancel,
        [this](const char* text, qsizetype size) { return m_output.write(text, size); }, &conversion,
        m_progress);
}

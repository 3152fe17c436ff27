#include "merge/EncodedCopy.h"

#include "merge/CopyInputs.h"
#include "merge/EncodingWatch.h"
#include "merge/InPlaceCopy.h"
#include "merge/InputRewriter.h"
#include "merge/LineEndScan.h"
#include "merge/MergeOutput.h"

namespace {

// The copy with the encoding rule: the inputs are copied as their bytes, fast, by
// one of the two engines while the watch finds their encodings; an input whose
// bytes do not belong in the output is cut off again and written by the rewriter,
// and the engine goes on after it. Once the output is UTF-16, whose line ends no
// byte copy can handle, the rewriter writes every input left.
class EncodedCopy final
{
public:
    EncodedCopy(const QList<NativePath>& inputs, MergeOutput& output, qsizetype blockSize,
                qsizetype alignment, const std::atomic<bool>* cancel)
        : m_inputs(inputs), m_output(output), m_blockSize(blockSize), m_alignment(alignment),
          m_cancel(cancel), m_rewriter(output, blockSize, cancel)
    {}

    [[nodiscard]] MergeResult run();

private:
    [[nodiscard]] MergeResult copyAllInputs();
    [[nodiscard]] MergeResult copyFrom(qsizetype first);
    [[nodiscard]] MergeResult takeBack();
    [[nodiscard]] MergeResult rewrite(qsizetype input, InputAction action);
    [[nodiscard]] bool mayBeOtherText(const MergeResult& failure, const DetectedEncoding& found,
                                      qsizetype input);
    // Finds the encodings of the inputs from `first` on.
    [[nodiscard]] MergeResult detectFrom(qsizetype first);
    [[nodiscard]] MergeResult rewriteFrom(qsizetype first);

    const QList<NativePath>& m_inputs;
    MergeOutput& m_output;
    const qsizetype m_blockSize;
    qsizetype m_alignment;
    const std::atomic<bool>* const m_cancel;
    EncodingWatch m_watch;
    InputRewriter m_rewriter;
    QList<ConvertedInput> m_converted;
};

MergeResult EncodedCopy::run()
{
    MergeResult done = copyAllInputs();
    if (done.ok())
        done.converted = m_converted;
    return done;
}

MergeResult EncodedCopy::copyAllInputs()
{
    qsizetype next = 0;
    while (next < m_inputs.size()) {
        if (MergeResult copied = copyFrom(next); !copied.ok() || !m_watch.stopped())
            return copied;
        next = m_watch.stoppedInput() + 1;
        // No byte copy can write UTF-16: the inputs left are all read for their
        // encodings before anything more is written, so that one that cannot go in
        // stops the merge first.
        const bool utf16 = isUtf16(m_watch.output());
        if (utf16) {
            if (MergeResult detected = detectFrom(next); !detected.ok())
                return detected;
        }
        if (MergeResult rewritten = takeBack(); !rewritten.ok())
            return rewritten;
        if (utf16)
            return rewriteFrom(next);
    }
    return MergeResult::success();
}

MergeResult EncodedCopy::copyFrom(qsizetype first)
{
    const QList<NativePath> inputs = m_inputs.mid(first);
    m_watch.start(first, m_output.size());
    // Writes straight to the disk last only until the output is first cut back.
    if (first == 0 && m_alignment > 0)
        return copyInPlace(inputs, m_output, m_blockSize, m_alignment, m_cancel, &m_watch);
    if (first > 0) {
        if (MergeResult separated = m_output.write(crLf, 2); !separated.ok())
            return separated;
    }
    return copyReadingAhead(inputs, m_output, m_blockSize, m_cancel, &m_watch);
}

MergeResult EncodedCopy::takeBack()
{
    const qsizetype stopped = m_watch.stoppedInput();
    const qsizetype first = m_watch.restarts() ? 0 : stopped;
    for (qsizetype input = first; input <= stopped; ++input) {
        if (actionFor(m_watch.found(input), m_watch.output()) == InputAction::Refuse)
            return MergeResult::failure(MergeStatus::EncodingUnknown, m_inputs.at(input), 0);
    }
    if (MergeResult cut = m_output.truncate(m_watch.cutAt()); !cut.ok())
        return cut;
    m_alignment = 0;
    if (m_watch.restarts()) {
        const QByteArray& mark = m_watch.mark();
        if (MergeResult marked = m_output.write(mark.constData(), mark.size()); !marked.ok())
            return marked;
    }
    for (qsizetype input = first; input <= stopped; ++input) {
        if (MergeResult rewritten = rewrite(input, actionFor(m_watch.found(input), m_watch.output()));
            !rewritten.ok())
            return rewritten;
    }
    return MergeResult::success();
}

// Whether an input whose conversion failed may be text that goes in as its bytes:
// it was taken for GB18030 or UTF-8 without being read to its end, and either was
// not valid in that encoding, or could not be encoded, which for text that is not
// UTF-8 after all (read to its end now) means nothing.
bool EncodedCopy::mayBeOtherText(const MergeResult& failure, const DetectedEncoding& found, qsizetype input)
{
    const TextEncoding output = m_watch.output();
    const bool presumed = found.encoding == TextEncoding::Gb18030 || found.encoding == TextEncoding::Utf8;
    if (!presumed || isUtf16(output))
        return false;
    if (failure.status == MergeStatus::InputChanged)
        return true;
    DetectedEncoding now;
    return failure.status == MergeStatus::CannotConvert && found.encoding == TextEncoding::Utf8 &&
           m_rewriter.detect(m_inputs.at(input), now).ok() && actionFor(now, output) == InputAction::Copy;
}

MergeResult EncodedCopy::rewrite(qsizetype input, InputAction action)
{
    const DetectedEncoding& found = m_watch.found(input);
    const NativePath& path = m_inputs.at(input);
    const TextEncoding output = m_watch.output();
    if (action == InputAction::Refuse)
        return MergeResult::failure(MergeStatus::EncodingUnknown, path, 0);
    const qint64 start = m_output.size();
    MergeResult written = m_rewriter.write(path, found, action, output, input > 0);
    if (!written.ok() && mayBeOtherText(written, found, input)) {
        // Taken for GB18030 unchecked, or for UTF-8 before its end, it is not: its
        // bytes go in as they are, as those of any text of unknown encoding, or of
        // GB18030 into GB18030 (the copy finds out if it changed meanwhile).
        if (MergeResult cut = m_output.truncate(start); !cut.ok())
            return cut;
        return m_rewriter.write(path, {TextEncoding::Unknown, 0}, InputAction::Copy, output, input > 0);
    }
    // A UTF-16 input into a UTF-16 output of its byte order only has its line ends mended.
    if (written.ok() && action == InputAction::Convert && found.encoding != output)
        m_converted.append({path, found.encoding, output});
    return written;
}

MergeResult EncodedCopy::detectFrom(qsizetype first)
{
    for (qsizetype input = first; input < m_inputs.size(); ++input) {
        DetectedEncoding found;
        if (MergeResult detected = m_rewriter.detect(m_inputs.at(input), found); !detected.ok())
            return detected;
        if (m_watch.add(found) == InputAction::Refuse)
            return MergeResult::failure(MergeStatus::EncodingUnknown, m_inputs.at(input), 0);
    }
    return MergeResult::success();
}

MergeResult EncodedCopy::rewriteFrom(qsizetype first)
{
    for (qsizetype input = first; input < m_inputs.size(); ++input) {
        if (MergeResult rewritten = rewrite(input, actionFor(m_watch.found(input), m_watch.output()));
            !rewritten.ok())
            return rewritten;
    }
    return MergeResult::success();
}

} // namespace

MergeResult copyEncoded(const QList<NativePath>& inputs, MergeOutput& output, qsizetype blockSize,
                        qsizetype alignment, const std::atomic<bool>* cancel)
{
    return EncodedCopy(inputs, output, blockSize, alignment, cancel).run();
}

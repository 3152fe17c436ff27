#include "merge/encoding/CopyInputs.h"

#include "merge/copy/CopyProgress.h"
#include "merge/copy/InPlaceCopy.h"
#include "merge/copy/ReadAheadCopy.h"
#include "merge/encoding/EncodingWatch.h"
#include "merge/encoding/InputEncoding.h"
#include "merge/encoding/InputRewriter.h"
#include "merge/output/MergeOutput.h"
#include "merge/result/SystemError.h"

#include <algorithm>
#include <new>
#include <numeric>

namespace {

constexpr qsizetype pageSize = 4096;

// The byte copies run over the list while the watch finds the encodings; an input
// whose bytes do not belong in the output is cut off again and written by the
// rewriter, and a byte copy goes on after it. Once the output is UTF-16, whose line
// ends no byte copy can handle, the rewriter writes every input left.
class EncodedCopy final
{
public:
    EncodedCopy(const QList<NativePath>& inputs, MergeOutput& output, qsizetype blockSize,
                qsizetype alignment, const std::atomic<bool>* cancel, CopyProgress* progress)
        : m_inputs(inputs), m_output(output), m_blockSize(blockSize), m_alignment(alignment),
          m_cancel(cancel), m_progress(progress), m_rewriter(inputs, output, blockSize, cancel, progress)
    {}

    [[nodiscard]] MergeReport run();

private:
    [[nodiscard]] MergeResult copyAllInputs();
    [[nodiscard]] MergeResult copyFrom(qsizetype first);
    [[nodiscard]] MergeResult takeBack();
    [[nodiscard]] MergeResult rewrite(qsizetype input);
    // Finds the encodings of the inputs from `first` on.
    [[nodiscard]] MergeResult detectFrom(qsizetype first);
    [[nodiscard]] MergeResult rewriteFrom(qsizetype first);

    const QList<NativePath>& m_inputs;
    MergeOutput& m_output;
    const qsizetype m_blockSize;
    qsizetype m_alignment;
    const std::atomic<bool>* const m_cancel;
    CopyProgress* const m_progress;
    EncodingWatch m_watch;
    InputRewriter m_rewriter;
    QList<ConvertedInput> m_converted;
};

MergeReport EncodedCopy::run()
{
    MergeReport report = copyAllInputs();
    if (report.ok())
        report.converted = m_converted;
    return report;
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
        const bool utf16 = isUtf16(m_watch.rule().output());
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
    m_watch.start(m_output.size());
    const CopyJob job{.inputs = m_inputs,
                      .output = m_output,
                      .first = first,
                      .blockSize = m_blockSize,
                      .encoding = m_watch.rule().output(),
                      .cancel = m_cancel,
                      .watch = &m_watch,
                      .progress = m_progress};
    // Writes straight to the disk last only until the output is first cut back.
    if (first == 0 && m_alignment > 0)
        return copyInPlace(job, m_alignment);
    return copyReadingAhead(job);
}

MergeResult EncodedCopy::takeBack()
{
    const qsizetype stopped = m_watch.stoppedInput();
    const qsizetype first = m_watch.restarts() ? 0 : stopped;
    for (qsizetype input = first; input <= stopped; ++input) {
        if (MergeResult refused = refusalOf(m_watch.actionFor(input), m_inputs.at(input)); !refused.ok())
            return refused;
    }
    if (MergeResult cut = m_output.truncate(m_watch.cutAt()); !cut.ok())
        return cut;
    m_alignment = 0;
    if (m_watch.restarts()) {
        const QByteArray& mark = m_watch.rule().mark();
        if (MergeResult marked = m_output.write(mark.constData(), mark.size()); !marked.ok())
            return marked;
    }
    for (qsizetype input = first; input <= stopped; ++input) {
        if (MergeResult rewritten = rewrite(input); !rewritten.ok())
            return rewritten;
    }
    return MergeResult::success();
}

MergeResult EncodedCopy::rewrite(qsizetype input)
{
    const DetectedEncoding& found = m_watch.found(input);
    bool converted = false;
    const MergeResult written = m_rewriter.write(input, found, m_watch.rule(), converted);
    if (converted)
        m_converted.append({m_inputs.at(input), found.encoding, m_watch.rule().output()});
    return written;
}

MergeResult EncodedCopy::detectFrom(qsizetype first)
{
    for (qsizetype input = first; input < m_inputs.size(); ++input) {
        DetectedEncoding found;
        if (MergeResult detected =
                readEncoding(m_inputs.at(input), m_output.identity(), m_blockSize, m_cancel, found);
            !detected.ok())
            return detected;
        m_watch.add(found);
        if (MergeResult refused = refusalOf(m_watch.actionFor(input), m_inputs.at(input)); !refused.ok())
            return refused;
    }
    return MergeResult::success();
}

MergeResult EncodedCopy::rewriteFrom(qsizetype first)
{
    for (qsizetype input = first; input < m_inputs.size(); ++input) {
        if (MergeResult rewritten = rewrite(input); !rewritten.ok())
            return rewritten;
    }
    return MergeResult::success();
}

} // namespace

MergeReport copyInputs(const QList<NativePath>& inputs, MergeOutput& output, qsizetype blockSize,
                       const std::atomic<bool>* cancel, CopyProgress* progress)
{
    if (progress != nullptr)
        progress->start(inputs);
    // Writes in whole pages: a disk with 4 KiB sectors that takes 512-byte writes
    // completes a sector they cut by reading it back first.
    const qsizetype direct = output.beginDirectWrites();
    MergeReport report;
    try {
        const qsizetype alignment = direct > 0 ? std::lcm(direct, pageSize) : 0;
        report =
            EncodedCopy(inputs, output, std::max<qsizetype>(1, blockSize), alignment, cancel, progress).run();
    } catch (const std::bad_alloc&) {
        // The copy's buffers: a failed merge, not the end of the program.
        report = MergeResult::failure(MergeStatus::OutputFailed, output.path(), outOfMemoryError());
    }
    if (!report.ok())
        output.discard();
    return report;
}

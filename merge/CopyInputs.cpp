#include "merge/CopyInputs.h"

#include "merge/EncodingWatch.h"
#include "merge/InPlaceCopy.h"
#include "merge/InputReader.h"
#include "merge/InputRewriter.h"
#include "merge/LineEndScan.h"
#include "merge/LineEndWriter.h"
#include "merge/MergeOutput.h"
#include "merge/SystemError.h"

#include <algorithm>
#include <new>
#include <numeric>

namespace {

// Lines ended by lone CRs are rebuilt in this buffer: small enough that it stays in
// the processor's cache beside the block being read, which measured twice as fast
// as a buffer as large as the block.
constexpr qsizetype writeBufferSize = qsizetype(128) * 1024;

constexpr qsizetype pageSize = 4096;

// Writes one piece; `stop` is set when the watch refuses the input it ends.
MergeResult writePiece(const InputPiece& piece, qsizetype inputCount, LineEndWriter& writer,
                       EncodingWatch* watch, bool& stop)
{
    if (!piece.failure.ok())
        return piece.failure;
    // An input whose bytes are known not to belong in the output ends here.
    const bool refused = watch != nullptr && !watch->feed(piece.input, piece.data, piece.size);
    if (MergeResult fed = writer.feed(piece.data, piece.size); !fed.ok() || !(piece.endOfInput || refused))
        return fed;
    MergeResult ended = writer.endFile();
    if (!ended.ok())
        return ended;
    stop = watch != nullptr && !watch->endInput(piece.input, writer.position());
    if (stop || piece.input + 1 == inputCount)
        return ended;
    return writer.writeSeparator();
}

// Writes what the reader hands over: the inputs' bytes, each input's last line
// completed, and a separator between inputs.
MergeResult copyAll(qsizetype inputCount, InputReader& reader, LineEndWriter& writer,
                    const std::atomic<bool>* cancel, EncodingWatch* watch)
{
    bool stop = false;
    for (const QList<InputPiece>* pieces = &reader.next(); !pieces->isEmpty() && !stop;
         pieces = &reader.next()) {
        if (cancel != nullptr && cancel->load(std::memory_order_relaxed))
            return MergeResult::failure(MergeStatus::Cancelled, {}, 0);
        for (const InputPiece& piece : *pieces) {
            if (MergeResult written = writePiece(piece, inputCount, writer, watch, stop); !written.ok())
                return written;
            if (stop)
                break;
        }
    }
    return writer.flush();
}

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
    [[nodiscard]] MergeResult rewriteRest(qsizetype first);

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
        if (isUtf16(m_watch.output()))
            return rewriteRest(next);
        if (MergeResult copied = copyFrom(next); !copied.ok() || !m_watch.stopped())
            return copied;
        if (MergeResult rewritten = takeBack(); !rewritten.ok())
            return rewritten;
        next = m_watch.stoppedInput() + 1;
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

MergeResult EncodedCopy::rewrite(qsizetype input, InputAction action)
{
    const DetectedEncoding& found = m_watch.found(input);
    const NativePath& path = m_inputs.at(input);
    const TextEncoding output = m_watch.output();
    if (action == InputAction::Refuse)
        return MergeResult::failure(MergeStatus::EncodingUnknown, path, 0);
    const qint64 start = m_output.size();
    MergeResult written = m_rewriter.write(path, found, action, output, input > 0);
    if (written.status == MergeStatus::InputChanged && found.encoding == TextEncoding::Gb18030 &&
        !isUtf16(output)) {
        // Taken for GB18030 unchecked, it is not: its bytes go in as they are, as
        // those of any text of unknown encoding.
        if (MergeResult cut = m_output.truncate(start); !cut.ok())
            return cut;
        return m_rewriter.write(path, {TextEncoding::Unknown, 0}, InputAction::Copy, output, input > 0);
    }
    // A UTF-16 input into a UTF-16 output of its byte order only has its line ends mended.
    if (written.ok() && action == InputAction::Convert && found.encoding != output)
        m_converted.append({path, found.encoding, output});
    return written;
}

// UTF-16 output: every input is read once for its encoding, and once to convert it.
MergeResult EncodedCopy::rewriteRest(qsizetype first)
{
    for (qsizetype input = first; input < m_inputs.size(); ++input) {
        DetectedEncoding found;
        if (MergeResult detected = m_rewriter.detect(m_inputs.at(input), found); !detected.ok())
            return detected;
        if (MergeResult rewritten = rewrite(input, m_watch.add(found)); !rewritten.ok())
            return rewritten;
    }
    return MergeResult::success();
}

} // namespace

MergeResult copyReadingAhead(const QList<NativePath>& inputs, MergeOutput& output, qsizetype blockSize,
                             const std::atomic<bool>* cancel, EncodingWatch* watch)
{
    blockSize = std::max<qsizetype>(1, blockSize);
    LineEndWriter writer(output, std::min(blockSize, writeBufferSize));
    InputReader reader(inputs, blockSize, output.identity());
    return copyAll(inputs.size(), reader, writer, cancel, watch);
}

MergeResult copyInputs(const QList<NativePath>& inputs, MergeOutput& output, qsizetype blockSize,
                       const std::atomic<bool>* cancel)
{
    // Writes in whole pages: a disk with 4 KiB sectors that takes 512-byte writes
    // completes a sector they cut by reading it back first.
    const qsizetype direct = output.beginDirectWrites();
    MergeResult result;
    try {
        const qsizetype alignment = direct > 0 ? std::lcm(direct, pageSize) : 0;
        result = EncodedCopy(inputs, output, blockSize, alignment, cancel).run();
    } catch (const std::bad_alloc&) {
        // The copy's buffers: a failed merge, not the end of the program.
        result = MergeResult::failure(MergeStatus::OutputFailed, output.path(), outOfMemoryError());
    }
    if (!result.ok())
        output.discard();
    return result;
}

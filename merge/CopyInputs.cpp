#include "merge/CopyInputs.h"

#include "merge/EncodedCopy.h"
#include "merge/EncodingWatch.h"
#include "merge/InputReader.h"
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
        result = copyEncoded(inputs, output, blockSize, alignment, cancel);
    } catch (const std::bad_alloc&) {
        // The copy's buffers: a failed merge, not the end of the program.
        result = MergeResult::failure(MergeStatus::OutputFailed, output.path(), outOfMemoryError());
    }
    if (!result.ok())
        output.discard();
    return result;
}

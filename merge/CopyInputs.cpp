#include "merge/CopyInputs.h"

#include "merge/InPlaceCopy.h"
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

MergeResult writePiece(const InputPiece& piece, qsizetype inputCount, LineEndWriter& writer)
{
    if (!piece.failure.ok())
        return piece.failure;
    if (MergeResult fed = writer.feed(piece.data, piece.size); !fed.ok() || !piece.endOfInput)
        return fed;
    if (MergeResult ended = writer.endFile(); !ended.ok() || piece.input + 1 == inputCount)
        return ended;
    return writer.writeSeparator();
}

// Writes what the reader hands over: the inputs' bytes, each input's last line
// completed, and a separator between inputs.
MergeResult copyAll(qsizetype inputCount, InputReader& reader, LineEndWriter& writer,
                    const std::atomic<bool>* cancel)
{
    for (const QList<InputPiece>* pieces = &reader.next(); !pieces->isEmpty(); pieces = &reader.next()) {
        if (cancel != nullptr && cancel->load(std::memory_order_relaxed))
            return MergeResult::failure(MergeStatus::Cancelled, {}, 0);
        for (const InputPiece& piece : *pieces) {
            if (MergeResult written = writePiece(piece, inputCount, writer); !written.ok())
                return written;
        }
    }
    return writer.flush();
}

} // namespace

MergeResult copyReadingAhead(const QList<NativePath>& inputs, MergeOutput& output, qsizetype blockSize,
                             const std::atomic<bool>* cancel)
{
    blockSize = std::max<qsizetype>(1, blockSize);
    LineEndWriter writer(output, std::min(blockSize, writeBufferSize));
    InputReader reader(inputs, blockSize, output.identity());
    return copyAll(inputs.size(), reader, writer, cancel);
}

MergeResult copyInputs(const QList<NativePath>& inputs, MergeOutput& output, qsizetype blockSize,
                       const std::atomic<bool>* cancel)
{
    // Writes in whole pages: a disk with 4 KiB sectors that takes 512-byte writes
    // completes a sector they cut by reading it back first.
    const qsizetype direct = output.beginDirectWrites();
    MergeResult result;
    try {
        result = direct > 0 ? copyInPlace(inputs, output, blockSize, std::lcm(direct, pageSize), cancel)
                            : copyReadingAhead(inputs, output, blockSize, cancel);
    } catch (const std::bad_alloc&) {
        // The copy's buffers: a failed merge, not the end of the program.
        result = MergeResult::failure(MergeStatus::OutputFailed, output.path(), outOfMemoryError());
    }
    if (!result.ok())
        output.discard();
    return result;
}

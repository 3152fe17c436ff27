#include "merge/CopyInputs.h"

#include "merge/AlignedBuffer.h"
#include "merge/InputFile.h"
#include "merge/LineEndWriter.h"
#include "merge/MergeOutput.h"

#include <algorithm>

namespace {

MergeResult copyOne(const NativePath& path, char* block, qsizetype blockSize, LineEndWriter& writer)
{
    InputFile input(path);
    if (MergeResult opened = input.open(); !opened.ok())
        return opened;
    for (;;) {
        const qsizetype count = input.read(block, blockSize);
        if (count < 0)
            return input.lastFailure();
        if (count == 0)
            break;
        if (!writer.feed(block, count))
            return writer.failure();
    }
    return writer.endFile() ? MergeResult::success() : writer.failure();
}

MergeResult copyAll(const QList<NativePath>& inputs, qsizetype blockSize, LineEndWriter& writer)
{
    const AlignedBuffer block(blockSize);
    for (qsizetype i = 0; i < inputs.size(); ++i) {
        if (MergeResult copied = copyOne(inputs.at(i), block.data(), blockSize, writer); !copied.ok())
            return copied;
        if (i + 1 < inputs.size() && !writer.writeSeparator())
            return writer.failure();
    }
    return writer.flush() ? MergeResult::success() : writer.failure();
}

} // namespace

MergeResult copyInputs(const QList<NativePath>& inputs, MergeOutput& output, qsizetype blockSize)
{
    blockSize = std::max<qsizetype>(1, blockSize);
    LineEndWriter writer(output, blockSize);
    MergeResult result = copyAll(inputs, blockSize, writer);
    if (!result.ok())
        output.discard();
    return result;
}

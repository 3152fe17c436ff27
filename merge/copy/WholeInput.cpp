#include "merge/copy/WholeInput.h"

#include "merge/copy/Cancel.h"
#include "merge/copy/CopyProgress.h"
#include "merge/copy/InputReader.h"

MergeResult readWholeInput(const NativePath& path, std::optional<FileIdentity> output, qsizetype blockSize,
                           const std::atomic<bool>* cancel, const TakeBytes& take, ReadTransform* transform,
                           CopyProgress* progress)
{
    const QList<NativePath> inputs{path};
    InputReader reader(inputs, 0, 1, blockSize, output, std::nullopt, transform);
    for (const QList<InputPiece>* pieces = &reader.next(); !pieces->isEmpty(); pieces = &reader.next()) {
        if (MergeResult cancelled = checkCancel(cancel); !cancelled.ok())
            return cancelled;
        for (const InputPiece& piece : *pieces) {
            if (!piece.failure.ok())
                return piece.failure;
            for (const QByteArrayView part : piece.parts) {
                if (MergeResult taken = take(part.data(), part.size()); !taken.ok())
                    return taken;
            }
            if (progress != nullptr)
                progress->advance(piece.read);
        }
    }
    return MergeResult::success();
}

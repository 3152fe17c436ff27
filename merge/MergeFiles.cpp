#include "merge/MergeFiles.h"

#include "merge/MergeOutput.h"
#include "merge/OutputCheck.h"
#include "merge/OutputPath.h"

namespace {

MergeResult openOutput(MergeOutput& output, MergeHooks& hooks)
{
    MergeResult opened = output.open();
    if (opened.status == MergeStatus::FolderMissing) {
        const NativePath folder = folderToCreate(splitOutputPath(output.path()));
        if (!hooks.createMissingFolder(folder))
            return opened;
        if (MergeResult created = createOutputFolder(folder); !created.ok())
            return created;
        opened = output.open();
    }
    if (opened.ok())
        return opened;
    return MergeResult::failure(MergeStatus::OutputNotCreated, output.path(), opened.error);
}

} // namespace

MergeHooks::~MergeHooks() = default;

bool MergeHooks::createMissingFolder(const NativePath& /*folder*/)
{
    return false;
}

MergeResult MergeHooks::runCopy(const CopyWork& copy)
{
    const std::atomic<bool> never{false};
    return copy(never);
}

MergeResult mergeFiles(const QList<NativePath>& inputs, const NativePath& outputPath, MergeHooks& hooks,
                       qsizetype blockSize)
{
    if (MergeResult checked = checkOutputExists(outputPath); !checked.ok())
        return checked;
    MergeOutput output(outputPath);
    if (MergeResult opened = openOutput(output, hooks); !opened.ok())
        return opened;
    return hooks.runCopy([&](const std::atomic<bool>& cancel) {
        MergeResult copied = copyInputs(inputs, output, blockSize, &cancel);
        if (!copied.ok())
            return copied;
        // The last moment to stop: the flush that publishing starts with cannot be
        // interrupted, so once begun it runs to its end.
        if (cancel.load(std::memory_order_relaxed)) {
            output.discard();
            return MergeResult::failure(MergeStatus::Cancelled, {}, 0);
        }
        MergeResult published = output.publish();
        if (published.ok())
            published.converted = copied.converted;
        return published;
    });
}

MergeResult mergeFiles(const QList<NativePath>& inputs, const NativePath& outputPath, qsizetype blockSize)
{
    MergeHooks defaults;
    return mergeFiles(inputs, outputPath, defaults, blockSize);
}

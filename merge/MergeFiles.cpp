#include "merge/MergeFiles.h"

#include "merge/copy/Cancel.h"
#include "merge/copy/CopyInputs.h"
#include "merge/copy/CopyProgress.h"
#include "merge/output/MergeOutput.h"
#include "merge/output/OutputCheck.h"
#include "merge/output/OutputPath.h"

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

MergeReport MergeHooks::runCopy(const CopyWork& copy)
{
    const std::atomic<bool> never{false};
    return copy(never, nullptr);
}

MergeReport mergeFiles(const QList<NativePath>& inputs, const NativePath& outputPath, MergeHooks& hooks)
{
    if (MergeResult checked = checkOutputExists(outputPath); !checked.ok())
        return checked;
    MergeOutput output(outputPath);
    if (MergeResult opened = openOutput(output, hooks); !opened.ok())
        return opened;
    return hooks.runCopy([&](const std::atomic<bool>& cancel, CopyProgress* progress) {
        MergeReport copied = copyInputs(inputs, output, defaultMergeBlockSize, &cancel, progress);
        if (!copied.ok())
            return copied;
        // The last moment to stop: the flush that publishing starts with cannot be
        // interrupted, so once begun it runs to its end.
        if (MergeResult cancelled = checkCancel(&cancel); !cancelled.ok()) {
            output.discard();
            return MergeReport(cancelled);
        }
        if (progress != nullptr)
            progress->publishing();
        if (MergeResult published = output.publish(); !published.ok())
            return MergeReport(published);
        return copied;
    });
}

MergeReport mergeFiles(const QList<NativePath>& inputs, const NativePath& outputPath)
{
    MergeHooks defaults;
    return mergeFiles(inputs, outputPath, defaults);
}

#include "merge/MergeFiles.h"

#include "merge/copy/Cancel.h"
#include "merge/copy/CopyProgress.h"
#include "merge/encoding/CopyInputs.h"
#include "merge/output/MergeOutput.h"
#include "merge/output/OutputCheck.h"
#include "outputname/OutputPath.h"

#include <memory>

namespace {

MergeResult openOutput(const std::shared_ptr<MergeOutput>& output, MergeHooks& hooks)
{
    const auto open = [output] { return output->open(); };
    MergeResult opened = hooks.runCheck(open);
    if (opened.status == MergeStatus::FolderMissing) {
        const NativePath folder = folderToCreate(splitOutputPath(output->path()));
        if (!hooks.createMissingFolder(folder))
            return opened;
        if (MergeResult created = hooks.runCheck([folder] { return createOutputFolder(folder); });
            !created.ok())
            return created;
        opened = hooks.runCheck(open);
    }
    if (opened.ok() || opened.status == MergeStatus::Cancelled)
        return opened;
    return MergeResult::failure(MergeStatus::OutputNotCreated, output->path(), opened.error);
}

} // namespace

MergeHooks::~MergeHooks() = default;

bool MergeHooks::createMissingFolder(const NativePath& /*folder*/)
{
    return false;
}

MergeResult MergeHooks::runCheck(const OutputCheck& check)
{
    return check();
}

MergeReport MergeHooks::runCopy(const CopyWork& copy)
{
    const std::atomic<bool> never{false};
    return copy(never, nullptr);
}

MergeReport mergeFiles(const QList<NativePath>& inputs, const NativePath& outputPath, MergeHooks& hooks)
{
    if (MergeResult checked = hooks.runCheck([outputPath] { return checkOutputExists(outputPath); });
        !checked.ok())
        return checked;
    // Shared with the steps that use it: one given up on still writes to it, and the
    // last step to let it go discards whatever was not published.
    const auto output = std::make_shared<MergeOutput>(outputPath);
    if (MergeResult opened = openOutput(output, hooks); !opened.ok())
        return opened;
    return hooks.runCopy([inputs, output](const std::atomic<bool>& cancel, CopyProgress* progress) {
        MergeReport copied = copyInputs(inputs, *output, defaultMergeBlockSize, &cancel, progress);
        if (!copied.ok())
            return copied;
        // The last moment to stop: the flush that publishing starts with cannot be
        // interrupted, so once begun it runs to its end.
        if (MergeResult cancelled = checkCancel(&cancel); !cancelled.ok()) {
            output->discard();
            return MergeReport(cancelled);
        }
        if (progress != nullptr)
            progress->publishing();
        if (MergeResult published = output->publish(); !published.ok())
            return MergeReport(published);
        return copied;
    });
}

MergeReport mergeFiles(const QList<NativePath>& inputs, const NativePath& outputPath)
{
    MergeHooks defaults;
    return mergeFiles(inputs, outputPath, defaults);
}

#pragma once

#include "merge/encoding/MergeReport.h"

#include <QList>

#include <atomic>
#include <functional>

class CopyProgress;

// The copy and the publishing of the merged file. Once the flag is set, the copy
// stops within a block, and publishing does not begin: both end with Cancelled and
// nothing at the output name. Publishing that has begun runs to its end, since the
// flush to the disk cannot be interrupted. A `progress` hears how far it is; without
// one, the inputs' sizes are not even asked for.
using CopyWork = std::function<MergeReport(const std::atomic<bool>& cancel, CopyProgress* progress)>;

// One of the checks before the copy: the existence check, opening the output,
// creating its folder. Each asks the output's file system, which may not answer.
using OutputCheck = std::function<MergeResult()>;

// What a merge asks of whoever runs it. The defaults suit a tool: a missing folder
// is not created, and the checks and the copy run where the merge was called.
class MergeHooks
{
public:
    MergeHooks() = default;
    virtual ~MergeHooks();
    Q_DISABLE_COPY_MOVE(MergeHooks)

    // The output's folder does not exist: whether to create it (one level) and go on.
    [[nodiscard]] virtual bool createMissingFolder(const NativePath& folder);
    // Runs a check and returns its result, or Cancelled when it was given up on: the
    // window asks off its own thread, so that a file system that does not answer never
    // holds it. A check owns all it uses, and may run to its end after the merge.
    [[nodiscard]] virtual MergeResult runCheck(const OutputCheck& check);
    // Runs the copy and returns its result. The window runs it on a thread of its
    // own, so that it stays alive meanwhile. The copy owns all it uses, and stops at
    // the cancel, though perhaps only after the merge was given up on: what it made
    // is removed when it stops.
    [[nodiscard]] virtual MergeReport runCopy(const CopyWork& copy);
};

// The whole merge, as the window and the tool run it: refuses an output name that
// matches an existing file (AlreadyExists) or cannot be searched (BadName,
// CannotCheck), opens the output, creating its missing folder where the hooks agree
// (FolderMissing when they do not), copies the inputs (copyInputs) and publishes the
// result. On any failure nothing is left at the output name and no temporary file
// remains.
[[nodiscard]] MergeReport mergeFiles(const QList<NativePath>& inputs, const NativePath& outputPath,
                                     MergeHooks& hooks);
// The same with the default hooks.
[[nodiscard]] MergeReport mergeFiles(const QList<NativePath>& inputs, const NativePath& outputPath);

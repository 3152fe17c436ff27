#pragma once

#include "browser/NativePath.h"

// What went wrong in one step of a merge. The window turns these into its messages;
// the core only names the kind, the file concerned and the system's error code.
enum class MergeStatus
{
    Ok,
    // The output's folder does not exist (the platform's "path not found").
    FolderMissing,
    // A file of the output's name exists, or appeared before the output was published.
    AlreadyExists,
    // An input could not be opened or read.
    InputFailed,
    // An input is no longer a regular file (a folder, a pipe, a device).
    InputNotAFile,
    // The output could not be created, written, flushed or published.
    OutputFailed,
    // The missing output folder could not be created.
    FolderFailed,
};

struct MergeResult
{
    MergeStatus status = MergeStatus::Ok;
    // The file or folder the status is about; empty for Ok.
    NativePath path;
    // The system's error code (errno, or GetLastError() on Windows); 0 when the
    // system gave none.
    int error = 0;

    [[nodiscard]] bool ok() const;
    [[nodiscard]] static MergeResult success();
    [[nodiscard]] static MergeResult failure(MergeStatus status, const NativePath& path, int error);
};

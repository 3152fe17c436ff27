#pragma once

#include "base/NativePath.h"

// What went wrong in one step of a merge. The window turns these into its messages;
// the core only names the kind, the file concerned and the system's error code.
enum class MergeStatus
{
    Ok,
    // The platform cannot search for the output name (a forbidden character, a
    // part too long).
    BadName,
    // The search for an existing output failed, so the merge cannot tell whether
    // it would replace a file.
    CannotCheck,
    // The output's folder does not exist (the platform's "path not found").
    FolderMissing,
    // A file of the output's name exists, or appeared before the output was published.
    AlreadyExists,
    // The output could not be created for another reason than a missing folder.
    OutputNotCreated,
    // An input could not be opened or read.
    InputFailed,
    // An input is no longer a regular file (a folder, a pipe, a device).
    InputNotAFile,
    // An input is the output being written, under another name.
    InputIsOutput,
    // An input's encoding is not recognised, and its text cannot go into a UTF-16 output.
    EncodingUnknown,
    // An input's text did not go in the way its encoding, found before, said: it
    // changed while it was merged, or is not valid text in the encoding its
    // byte-order mark names.
    InputChanged,
    // A character of an input has no form in the output's encoding.
    CannotConvert,
    // The output could not be written, flushed or published.
    OutputFailed,
    // The missing output folder could not be created.
    FolderFailed,
    // The copy was stopped, the program ending; nothing was written.
    Cancelled,
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

#pragma once

#include "merge/MergeResult.h"

#include <QString>

enum class ExistenceStatus
{
    // No file matches; also when the output's folder does not exist, so that opening
    // the output is what discovers the missing folder.
    NoMatch,
    // A regular, visible file matches the output name.
    Exists,
    // The platform cannot search for such a name: an embedded NUL, a name component
    // longer than the file system allows, on Windows a forbidden character.
    BadName,
    // The search itself failed (no permission to list the folder, an I/O error...).
    OtherFailure,
};

struct ExistenceResult
{
    ExistenceStatus status = ExistenceStatus::NoMatch;
    // The system's description for BadName and OtherFailure.
    QString reason;
};

// Looks for an existing file that matches the output name. The file-name part is a
// pattern ("*" any run, "?" any one character), compared as the platform's own
// directory search does: ignoring letter case on Windows, exactly on Linux, whose
// file names are case-sensitive. The folder part is taken literally. Folders,
// hidden files (dot files on Linux) and system files (on Linux: anything that is
// not a regular file or a link to one) never match.
[[nodiscard]] ExistenceResult checkOutputExists(const QString& outputName);

// Creates exactly one folder level; its parent must already exist. A folder that
// exists already counts as created. Fails with FolderFailed naming `folder`.
[[nodiscard]] MergeResult createOutputFolder(const QString& folder);

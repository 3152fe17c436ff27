#pragma once

#include "merge/result/MergeResult.h"

// Looks for an existing file that matches the output name. The file-name part is a
// pattern ("*" any run, "?" any one character), compared as the platform's own
// directory search does: ignoring letter case on Windows, exactly on POSIX systems,
// whose file names are bytes. The folder part is taken literally. Folders, hidden
// files (dot files on POSIX) and system files (on POSIX: anything that is not a
// regular file or a link to one) match a pattern never, yet block their own name.
// A name without "*" or "?" is looked up directly, so a folder that may be written
// but not listed still takes the merged file.
//
// Ok when nothing matches, also when the output's folder does not exist (opening
// the output is what discovers a missing folder). AlreadyExists when a file
// matches or something of any kind stands at the name itself, where the merged
// file could never be published. BadName when the platform cannot search for such
// a name (an embedded NUL, a component longer than the file system allows, on
// Windows a forbidden character or a device name). CannotCheck when the search
// itself failed. Every failure names `outputName`.
[[nodiscard]] MergeResult checkOutputExists(const NativePath& outputName);

// Creates exactly one folder level; its parent must already exist. A folder that
// exists already counts as created. Fails with FolderFailed naming `folder`.
[[nodiscard]] MergeResult createOutputFolder(const NativePath& folder);

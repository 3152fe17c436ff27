#pragma once

#include "base/NativePath.h"

// Joins a folder and a file name with exactly one native separator between them.
// A folder that already ends in the separator (a drive's root) is not given a
// second one; an empty folder yields the separator followed by the name.
[[nodiscard]] NativePath buildFullPath(const NativePath& folder, const NativePath& fileName);

// The form of a path under which two merge-list entries count as the same file: the
// exact bytes where names are bytes, case-folded where file names ignore case.
[[nodiscard]] NativePath::Native comparedForm(const NativePath& path);

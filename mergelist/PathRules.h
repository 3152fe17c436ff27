#pragma once

#include <QString>

// Joins a folder and a file name with exactly one native separator between them.
// A folder that already ends in the separator (a drive's root) is not given a
// second one; an empty folder yields the separator followed by the name.
[[nodiscard]] QString BuildFullPath(const QString& folder, const QString& fileName);

// The form of a path under which two merge-list entries count as the same file:
// case-folded where file names ignore case, the path unchanged elsewhere.
[[nodiscard]] QString comparedForm(const QString& path);

#pragma once

#include <QString>

// Path helpers shared by the panes. Every path they hand out is absolute, cleaned
// and in native separators: a file-system root keeps its trailing separator ("/",
// "C:\"), any other folder has none.

// The one place that knows whether file names ignore letter case: on Windows they
// do, elsewhere they do not.
[[nodiscard]] Qt::CaseSensitivity fileNameCase();

// The native form of a path; an empty path stays empty.
[[nodiscard]] QString nativeFolder(const QString& path);

// Whether two paths name the same folder, ignoring letter case where the file
// system does (Windows).
[[nodiscard]] bool samePath(const QString& a, const QString& b);

// Whether `path` is `root` or lies below it, under the same letter-case rule.
[[nodiscard]] bool liesUnder(const QString& path, const QString& root);

// A form of the path usable as a hash key under the same letter-case rule.
[[nodiscard]] QString pathKey(const QString& path);

// Joins a folder and a name with exactly one native separator between them; an
// empty folder gives the separator followed by the name.
[[nodiscard]] QString childPath(const QString& folder, const QString& name);

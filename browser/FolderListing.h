#pragma once

#include <QLatin1String>
#include <QString>
#include <QStringList>

// The files the file pane lists, letter case ignored.
inline constexpr QLatin1String textFilePattern{"*.txt"};

// What the folder and file panes read from the file system. Folders are given and
// returned in native form (see NativePath.h).

// Whether the folder exists and its entries can be listed.
[[nodiscard]] bool isReadableFolder(const QString& folder);

// The folder's ancestors from the file-system root down, ending with the folder.
[[nodiscard]] QStringList folderAncestors(const QString& folder);

// Names of the folder's visible subfolders, in natural order; empty when the
// folder cannot be read.
[[nodiscard]] QStringList subfolderNames(const QString& folder);

// Bare names of the folder's visible regular files that match a wildcard pattern
// ("*.txt"), letter case ignored, in natural order. FIFOs, sockets and devices are
// left out whatever their name, so nobody later blocks opening one.
[[nodiscard]] QStringList matchingFileNames(const QString& folder, const QString& pattern);

// Whether the file pane would list this file: a visible regular file whose name
// matches the text-file pattern, letter case ignored.
[[nodiscard]] bool isListedTextFile(const QString& path);

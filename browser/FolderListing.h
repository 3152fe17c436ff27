#pragma once

#include "base/NativePath.h"

#include <QList>
#include <QString>

// What the folder and file panes read from the file system. Folders are given and
// returned as absolute native paths.

// One entry of a folder: its exact name, for every file operation, and the text the
// panes show for it.
struct FolderEntry
{
    NativePath name;
    QString text;
};

// Whether the folder exists and its entries can be listed.
[[nodiscard]] bool isReadableFolder(const NativePath& folder);

// The folder itself when it can be read, else its nearest ancestor on the drive at
// `root` that can; empty when none can, the root included.
[[nodiscard]] NativePath nearestReadableFolder(const NativePath& folder, const NativePath& root);

// The folder's ancestors from the file-system root down, ending with the folder.
[[nodiscard]] QList<NativePath> folderAncestors(const NativePath& folder);

// The folder's visible subfolders, in reading order of their texts; empty when the
// folder cannot be read.
[[nodiscard]] QList<FolderEntry> subfolders(const NativePath& folder);

// The folder's visible regular files named "*.txt", letter case ignored, in reading
// order of their texts, whatever bytes their names hold. FIFOs, sockets and devices
// are left out whatever their name, so nobody later blocks opening one.
[[nodiscard]] QList<FolderEntry> textFiles(const NativePath& folder);

// Whether the file pane would list this file.
[[nodiscard]] bool isListedTextFile(const NativePath& path);

// Turns names into entries sorted as the panes show them.
[[nodiscard]] QList<FolderEntry> sortedEntries(const QList<NativePath>& names);

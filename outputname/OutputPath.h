#pragma once

#include "base/NativePath.h"

#include <QString>

// An output name cut at its last separator.
struct OutputPathParts
{
    // The folder part with its trailing separator; empty when the name has none,
    // which means the current working folder.
    NativePath folder;
    // The file-name part; the existence test reads it as a pattern.
    NativePath fileName;
};

// Cuts an output name at its last separator: "/" everywhere, and also the platform's
// own separator where it differs ("\" on Windows).
[[nodiscard]] OutputPathParts splitOutputPath(const NativePath& name);

// The folder part in a form that can be opened as a folder: "." for an empty part.
[[nodiscard]] NativePath openableFolder(const OutputPathParts& parts);

// The folder that the missing-folder question offers to create: the folder part
// without its trailing separator.
[[nodiscard]] NativePath folderToCreate(const OutputPathParts& parts);

// The folder part of an output name as the user sees it, with its trailing
// separator; empty when the name has no separator.
[[nodiscard]] QString folderPartOf(const QString& outputName);

// The file an output name names. The text is taken in the system's encoding for file
// names, except that a name which begins with the text of the folder shown and a
// separator lies in that very folder, whatever bytes the folder's name holds: the
// proposed name, and names the user types below the folder shown, never land in a
// twin folder whose name merely looks the same.
[[nodiscard]] NativePath outputPathOf(const QString& outputName, const NativePath& shownFolder);

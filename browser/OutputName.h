#pragma once

#include "browser/NativePath.h"

#include <QString>

// The output file proposed whenever the file pane moves to another folder: a file
// named "Corvalent.txt" in that folder, as the text shown in the output name.
[[nodiscard]] QString defaultOutputName(const NativePath& folder);

// The file an output name names. The text is taken in the system's encoding for file
// names, except that a name which begins with the shown folder's text and a
// separator lies in that very folder, whatever bytes the folder's name holds: the
// proposed name, and names the user types below the folder shown, never land in a
// twin folder whose name merely looks the same.
[[nodiscard]] NativePath outputPathOf(const QString& outputName, const NativePath& shownFolder);

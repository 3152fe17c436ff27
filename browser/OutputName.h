#pragma once

#include "base/NativePath.h"

#include <QString>

// The output file proposed whenever the file pane moves to another folder: a file
// named "Corvalent.txt" in that folder, as the text shown in the output name.
[[nodiscard]] QString defaultOutputName(const NativePath& folder);

#pragma once

#include <QString>

// The output file proposed whenever the file pane moves to another folder: a
// file named "Corvalent.txt" in that folder, joined with a single separator.
[[nodiscard]] QString defaultOutputName(const QString& folder);

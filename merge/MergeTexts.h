#pragma once

#include "merge/encoding/MergeReport.h"

#include <QString>

// The merge's Chinese messages, gathered so they can be read side by side. Files
// are named by the text the user sees for them.
namespace mergetexts {

[[nodiscard]] QString emptyList();
[[nodiscard]] QString createFolder(const QString& folderWithSeparator);
// What the user is told of a merge's outcome, the output named as it stands in the
// output name; empty after the user declined to create the missing folder, and for
// a copy stopped because the program ends.
[[nodiscard]] QString report(const MergeReport& result, const QString& outputName);
// The reason a user is given for a system error code: Chinese for the failures
// users meet, else the system's own text with the code.
[[nodiscard]] QString reason(int error);
// The one box after the user cancelled a merge.
[[nodiscard]] QString cancelled();

// The progress window of a long merge: its caption, its bar's name, its button, and
// what it says while the merged file is flushed and named, which cannot be stopped.
[[nodiscard]] QString progressCaption();
[[nodiscard]] QString progressBar();
[[nodiscard]] QString cancelButton();
[[nodiscard]] QString publishing();
// What it says while the merge waits for the output's file system before the copy.
[[nodiscard]] QString checking();

} // namespace mergetexts

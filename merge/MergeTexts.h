#pragma once

#include "merge/MergeResult.h"

#include <QString>

// The merge's Chinese messages, gathered so they can be read side by side.
namespace mergetexts {

[[nodiscard]] QString emptyList();
[[nodiscard]] QString badName();
[[nodiscard]] QString alreadyExists(const QString& outputName);
[[nodiscard]] QString createFolder(const QString& folderWithSeparator);
[[nodiscard]] QString merged(const QString& outputName);
// The output could not be created for another reason than a missing folder.
[[nodiscard]] QString cannotCreate(const MergeResult& result);
// A merge that failed after the checks: names the file or folder and the system's
// reason, and says that no merged file was written.
[[nodiscard]] QString failed(const MergeResult& result);

} // namespace mergetexts

#pragma once

#include "merge/MergeResult.h"

#include <QString>

// The merge's Chinese messages, gathered so they can be read side by side. Files
// are named by the text the user sees for them.
namespace mergetexts {

[[nodiscard]] QString emptyList();
[[nodiscard]] QString badName();
[[nodiscard]] QString alreadyExists(const QString& outputName);
[[nodiscard]] QString createFolder(const QString& folderWithSeparator);
[[nodiscard]] QString merged(const QString& outputName);
// The search for an existing file failed, so the merge cannot tell whether it
// would overwrite one.
[[nodiscard]] QString cannotCheck(const QString& outputName, int error);
// The output could not be created for another reason than a missing folder.
[[nodiscard]] QString cannotCreate(const MergeResult& result);
// A merge that failed after the checks: names the file or folder and the reason,
// and says that no merged file was written.
[[nodiscard]] QString failed(const MergeResult& result);
// The reason a user is given for a system error code: Chinese for the failures
// users meet, else the system's own text with the code.
[[nodiscard]] QString reason(int error);

} // namespace mergetexts

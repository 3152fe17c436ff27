#pragma once

#include "merge/CopyInputs.h"
#include "merge/MergeResult.h"

#include <QList>

// The whole merge without the window's questions: refuses an output name that
// matches an existing file (AlreadyExists; a name that cannot be searched gives
// OutputFailed), opens the output (a missing folder gives FolderMissing and is not
// created), copies the inputs and publishes the result. On any failure nothing is
// left at the output name and no temporary file remains.
[[nodiscard]] MergeResult mergeFiles(const QList<NativePath>& inputs, const NativePath& outputPath,
                                     qsizetype blockSize = defaultMergeBlockSize);

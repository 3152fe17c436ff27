#pragma once

#include "merge/output/FileIdentity.h"
#include "merge/result/MergeResult.h"
#include "text/TextEncoding.h"

#include <atomic>
#include <optional>

// Reads a whole input for its encoding alone, GB18030 checked: for inputs no copy
// scans, or whose encoding an input found before proves wrong.
[[nodiscard]] MergeResult readEncoding(const NativePath& path, std::optional<FileIdentity> output,
                                       qsizetype blockSize, const std::atomic<bool>* cancel,
                                       DetectedEncoding& found);

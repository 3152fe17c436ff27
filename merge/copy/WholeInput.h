#pragma once

#include "merge/output/FileIdentity.h"
#include "merge/result/MergeResult.h"

#include <atomic>
#include <functional>
#include <optional>

class CopyProgress;
class ReadTransform;

// Reads a whole input, ahead on a thread of its own, and hands each run of bytes read
// to `take`, turned by `transform` on that thread where there is one; ends at the
// first failure, the first of `take` or `transform` too, or when `cancel` is set. For
// the few inputs read once more on their own: to find their encoding, or to convert
// them, while the bytes converted before are written. A `progress` hears of each run.
using TakeBytes = std::function<MergeResult(const char* data, qsizetype size)>;
[[nodiscard]] MergeResult readWholeInput(const NativePath& path, std::optional<FileIdentity> output,
                                         qsizetype blockSize, const std::atomic<bool>* cancel,
                                         const TakeBytes& take, ReadTransform* transform = nullptr,
                                         CopyProgress* progress = nullptr);

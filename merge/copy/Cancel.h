#pragma once

#include "merge/result/MergeResult.h"

#include <atomic>

// The one check of whether whoever runs the merge asked it to stop (the program
// ending): Cancelled once `cancel` is set, success otherwise. No flag, no stop.
[[nodiscard]] MergeResult checkCancel(const std::atomic<bool>* cancel);

#pragma once

#include "merge/copy/CopyJob.h"
#include "merge/result/MergeResult.h"

// The byte copy that reads the inputs on a thread of its own (see InputReader)
// while it writes the blocks read before, so that the two copies of every byte run
// side by side on two cores: for an output in the system's cache (a RAM-backed
// folder, a network share).
[[nodiscard]] MergeResult copyReadingAhead(const CopyJob& job);

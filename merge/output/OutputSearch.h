#pragma once

#include "merge/result/MergeResult.h"

// The platform's own search behind checkOutputExists(), whose failures name no file
// yet: checkOutputExists() names the output in them.
[[nodiscard]] MergeResult searchOutputName(const NativePath& outputName);

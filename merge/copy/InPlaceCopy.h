#pragma once

#include "merge/copy/CopyJob.h"
#include "merge/result/MergeResult.h"

// The byte copy for an output written straight to the disk
// (MergeOutput::beginDirectWrites): each input is read into the very buffer that is
// written to the output, and searched there for lone CRs, so that the processor
// copies every byte once, as `cat` does, and the disk takes the bytes from where
// they were read. Writes are whole multiples of `alignment` but for the last. Lines
// ended by lone CRs are rebuilt into the buffer from a second one.
[[nodiscard]] MergeResult copyInPlace(const CopyJob& job, qsizetype alignment);

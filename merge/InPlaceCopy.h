#pragma once

#include "merge/MergeResult.h"

#include <QList>

#include <atomic>

class EncodingWatch;
class MergeOutput;

// The copy for an output written straight to the disk (MergeOutput::beginDirectWrites):
// each input is read into the very buffer that is written to the output, and
// searched there for lone CRs, so that the processor copies every byte once, as
// `cat` does, and the disk takes the bytes from where they were read. Reads take up
// to `blockSize` bytes; writes are whole multiples of `alignment` but for the last.
// Lines ended by lone CRs are rebuilt into the buffer from a second one. Same
// output, failures and cancelling as copyInputs(). A `watch` sees every input's
// bytes, and the copy ends after the first input it refuses.
[[nodiscard]] MergeResult copyInPlace(const QList<NativePath>& inputs, MergeOutput& output,
                                      qsizetype blockSize, qsizetype alignment,
                                      const std::atomic<bool>* cancel, EncodingWatch* watch = nullptr);

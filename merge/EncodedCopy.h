#pragma once

#include "merge/MergeResult.h"

#include <QList>

#include <atomic>

class MergeOutput;

// The copy with the encoding rule (see copyInputs): the inputs are copied as their
// bytes, fast, while their encodings are found; an input whose bytes do not belong
// in the output is cut off again and rewritten. Writes go straight to the disk, in
// multiples of `alignment`, until the output is first cut back; 0 means never.
[[nodiscard]] MergeResult copyEncoded(const QList<NativePath>& inputs, MergeOutput& output,
                                      qsizetype blockSize, qsizetype alignment,
                                      const std::atomic<bool>* cancel);

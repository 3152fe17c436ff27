#pragma once

#include "merge/copy/CopyJob.h"
#include "merge/encoding/MergeReport.h"

#include <QList>

#include <atomic>

class CopyProgress;
class MergeOutput;

// Writes the inputs, in order, to the open output: every line of each input
// followed by CR LF, and one CR LF separator after every input but the last (see
// CopyJob). The first failure stops the copy and discards the output.
//
// The output is in one encoding, by the encoding rule (text/EncodingRule): that of
// the first input in UTF-8, GB18030 or UTF-16, with its byte-order mark. The inputs
// are copied as their bytes, fast, while their encodings are found (EncodingWatch);
// an input whose bytes do not belong in the output is cut off again and written
// anew (InputRewriter), converted or without its mark, and the report lists those
// converted. An input of unknown encoding cannot go into UTF-16 (EncodingUnknown),
// and one that changes so that it no longer goes in as found fails with
// InputChanged. Where every input is in the output's encoding, its bytes are copied
// as they are, byte-order marks aside.
//
// Where the output can be written straight to the disk, the inputs are read into
// the buffer that is written (copyInPlace): the processor's time is what counts
// there, and this spends the least. Elsewhere, in the system's cache (a RAM-backed
// folder, a network share), the copy reads ahead on a second core instead
// (copyReadingAhead). A `progress` hears how far the copy is.
[[nodiscard]] MergeReport copyInputs(const QList<NativePath>& inputs, MergeOutput& output,
                                     qsizetype blockSize = defaultMergeBlockSize,
                                     const std::atomic<bool>* cancel = nullptr,
                                     CopyProgress* progress = nullptr);

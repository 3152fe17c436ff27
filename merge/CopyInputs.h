#pragma once

#include "merge/MergeResult.h"

#include <QList>

#include <atomic>

class EncodingWatch;
class MergeOutput;

// Measured: 1 MiB blocks copy faster, and with less processor time, than 64 to
// 256 KiB; larger ones gain nothing more.
inline constexpr qsizetype defaultMergeBlockSize = qsizetype(1024) * 1024;

// Writes the inputs, in order, to the open output: every line of each input
// followed by CR LF, and one CR LF separator after every input but the last. Inputs
// are opened for reading only and streamed in blocks of `blockSize` bytes, so memory
// stays flat whatever the sizes of the files and their lines. The first failure
// stops the copy and discards the output; the result names the file that failed
// (InputFailed, InputNotAFile or OutputFailed) and the system's error code. Setting
// `cancel` stops the copy within a block, with Cancelled.
//
// The output is in one encoding: that of the first input in UTF-8, GB18030 or
// UTF-16, with its byte-order mark (see planEncodings). Inputs in another encoding
// are converted into it, and the result lists them; an input of unknown encoding
// cannot go into UTF-16 (EncodingUnknown), and one that changes so that it no longer
// goes in as found fails with InputChanged. Where every input is in the output's
// encoding, its bytes are copied as they are, byte-order marks aside.
//
// Where the output can be written straight to the disk, the inputs are read into
// the buffer that is written (copyInPlace): the processor's time is what counts
// there, and this spends the least. Elsewhere, in the system's cache (a RAM-backed
// folder, a network share), the copy reads ahead on a second core instead.
[[nodiscard]] MergeResult copyInputs(const QList<NativePath>& inputs, MergeOutput& output,
                                     qsizetype blockSize = defaultMergeBlockSize,
                                     const std::atomic<bool>* cancel = nullptr);

// The copy that reads the inputs on a thread of its own (see InputReader) while it
// writes the blocks read before, so that the two copies of every byte run side by
// side on two cores. A `watch` sees every input's bytes, and the copy ends after
// the first input it refuses.
[[nodiscard]] MergeResult copyReadingAhead(const QList<NativePath>& inputs, MergeOutput& output,
                                           qsizetype blockSize, const std::atomic<bool>* cancel,
                                           EncodingWatch* watch = nullptr);

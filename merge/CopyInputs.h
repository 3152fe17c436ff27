#pragma once

#include "merge/MergeResult.h"

#include <QList>

#include <atomic>

class MergeOutput;

// Measured: 1 MiB blocks copy faster, and with less processor time, than 64 to
// 256 KiB; larger ones gain nothing more.
inline constexpr qsizetype defaultMergeBlockSize = qsizetype(1024) * 1024;

// Writes the inputs, in order, to the open output: every line of each input
// followed by CR LF, and one CR LF separator after every input but the last. Inputs
// are opened for reading only and streamed in blocks of `blockSize` bytes, read on a
// thread of their own (see InputReader), so memory stays flat whatever the sizes of
// the files and their lines. The first failure
// stops the copy and discards the output; the result names the file that failed
// (InputFailed, InputNotAFile or OutputFailed) and the system's error code. Setting
// `cancel` stops the copy within a block, with Cancelled.
[[nodiscard]] MergeResult copyInputs(const QList<NativePath>& inputs, MergeOutput& output,
                                     qsizetype blockSize = defaultMergeBlockSize,
                                     const std::atomic<bool>* cancel = nullptr);

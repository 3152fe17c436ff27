#pragma once

#include "base/NativePath.h"
#include "text/TextEncoding.h"

#include <QList>

#include <atomic>

class CopyProgress;
class CopyWatch;
class MergeOutput;

// Measured: 1 MiB blocks copy faster, and with less processor time, than 64 to
// 256 KiB; larger ones gain nothing more.
inline constexpr qsizetype defaultMergeBlockSize = qsizetype(1024) * 1024;

// What a byte copy (copyReadingAhead, copyInPlace) writes: inputs [first, end) of
// the list, each with every line followed by CR LF, and a separator before each but
// the list's first. Inputs are opened for reading only and streamed in blocks of
// `blockSize` bytes, so memory stays flat whatever the sizes of the files and their
// lines. The first failure stops the copy and names the file (InputFailed,
// InputNotAFile, InputIsOutput or OutputFailed); setting `cancel` stops it within a
// block, with Cancelled. The output is left as it is for the caller to discard.
struct CopyJob
{
    const QList<NativePath>& inputs;
    MergeOutput& output;
    qsizetype first = 0;
    // One past the last input; the list's end when negative.
    qsizetype end = -1;
    qsizetype blockSize = defaultMergeBlockSize;
    // The output's encoding, whose line end the separators are: a byte copy writes
    // into ASCII, UTF-8 or GB18030, which all end lines alike.
    TextEncoding encoding = TextEncoding::Ascii;
    // Bytes at the start of the first input copied that stay out of the output: a
    // byte-order mark that does not stay.
    qsizetype skipFirst = 0;
    const std::atomic<bool>* cancel = nullptr;
    // Sees every input's bytes; none copies every byte as it is.
    CopyWatch* watch = nullptr;
    // Told of every input taken up and every block copied, where there is one.
    CopyProgress* progress = nullptr;

    [[nodiscard]] qsizetype last() const { return end < 0 ? inputs.size() : end; }
};

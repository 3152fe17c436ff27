#pragma once

#include "merge/MergeResult.h"

#include <QtGlobal>

#include <memory>

class MergeOutput;

// Writes the inputs' bytes to the output with every line terminated by CR LF: a CR
// not followed by LF gains an LF, a last line without terminator gains CR LF, and
// every other byte (LF alone included) passes unchanged. Blocks are searched only
// for lone CRs, and long runs without one go straight from the caller's block to
// the output; small pieces (the short lines of a file with lone CRs, separators) go
// through a buffer of `bufferSize` bytes. A CR at the end of a block waits for the
// next block to tell whether an LF follows.
class LineEndWriter final
{
public:
    LineEndWriter(MergeOutput& output, qsizetype bufferSize);
    ~LineEndWriter();
    Q_DISABLE_COPY_MOVE(LineEndWriter)

    // Once writing has failed, each of these returns that failure and writes nothing more.
    [[nodiscard]] MergeResult feed(const char* data, qsizetype size);
    // Completes the current file's last line; the next feed() starts a new file.
    [[nodiscard]] MergeResult endFile();
    [[nodiscard]] MergeResult writeSeparator();
    // Hands everything still buffered to the output.
    [[nodiscard]] MergeResult flush();
    // The output's size once everything given so far is written.
    [[nodiscard]] qint64 position() const;

private:
    [[nodiscard]] MergeResult feedLoneCrs(const char* data, const char* end);
    [[nodiscard]] MergeResult put(const char* data, qsizetype size);
    [[nodiscard]] MergeResult expand(const char* from, const char* stop);
    [[nodiscard]] MergeResult writeOut(const char* data, qsizetype size);

    MergeOutput& m_output;
    qsizetype m_capacity;
    std::unique_ptr<char[]> m_buffer;
    qsizetype m_used = 0;
    // Pieces at least this long skip the buffer.
    qsizetype m_directMinimum;
    // The last byte seen was a CR that has not been written yet.
    bool m_pendingCr = false;
    // Bytes of an unterminated line have been written for the current file.
    bool m_lineOpen = false;
    // The first failure to write; Ok until then.
    MergeResult m_failure;
};

#pragma once

#include "merge/result/MergeResult.h"
#include "text/LineEnds.h"

#include <QByteArrayView>

#include <memory>

class MergeOutput;

// Writes the inputs' bytes to the output under the line rule (text/LineEnds): every
// line ends with CR LF, and every other byte (LF alone included) passes unchanged.
// Blocks are searched only for lone CRs, and long runs without one go straight from
// the caller's block to the output; small pieces (the short lines of a file with
// lone CRs, separators) go through a buffer of `bufferSize` bytes.
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
    // What was fed of the current file holds no line: the next byte starts one.
    void startLine();
    // Writes bytes the line rule does not apply to: a separator.
    [[nodiscard]] MergeResult writeRaw(QByteArrayView bytes);
    // Hands everything still buffered to the output.
    [[nodiscard]] MergeResult flush();
    // The output's size once everything given so far is written.
    [[nodiscard]] qint64 position() const;

private:
    [[nodiscard]] MergeResult put(const char* data, qsizetype size);
    [[nodiscard]] MergeResult expand(const char* from, const char* stop);
    [[nodiscard]] MergeResult writeOut(const char* data, qsizetype size);

    MergeOutput& m_output;
    qsizetype m_capacity;
    std::unique_ptr<char[]> m_buffer;
    qsizetype m_used = 0;
    // Pieces at least this long skip the buffer.
    qsizetype m_directMinimum;
    LineEndRule<char> m_lineEnds;
    // The first failure to write; Ok until then.
    MergeResult m_failure;
};

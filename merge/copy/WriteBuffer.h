#pragma once

#include "merge/result/MergeResult.h"

#include <memory>

class MergeOutput;

// Writes to the output, gathering small pieces (the bytes of small files,
// separators, line ends) in a buffer of `size` bytes so that they take one write,
// while large ones go to the output at once.
class WriteBuffer final
{
public:
    WriteBuffer(MergeOutput& output, qsizetype size);
    ~WriteBuffer();
    Q_DISABLE_COPY_MOVE(WriteBuffer)

    // Once writing has failed, each of these returns that failure and writes nothing more.
    [[nodiscard]] MergeResult put(const char* data, qsizetype size);
    // Hands everything still buffered to the output.
    [[nodiscard]] MergeResult flush();
    // The output's size once everything given so far is written.
    [[nodiscard]] qint64 position() const;

private:
    [[nodiscard]] MergeResult writeOut(const char* data, qsizetype size);

    MergeOutput& m_output;
    const qsizetype m_capacity;
    std::unique_ptr<char[]> m_buffer;
    qsizetype m_used = 0;
    // Pieces at least this long skip the buffer.
    const qsizetype m_directMinimum;
    // The first failure to write; Ok until then.
    MergeResult m_failure;
};

#include "merge/copy/WriteBuffer.h"

#include "merge/output/MergeOutput.h"

#include <algorithm>
#include <cstring>

WriteBuffer::WriteBuffer(MergeOutput& output, qsizetype size)
    : m_output(output), m_capacity(std::max<qsizetype>(2, size)),
      m_buffer(std::make_unique_for_overwrite<char[]>(static_cast<size_t>(m_capacity))),
      m_directMinimum(std::max<qsizetype>(1, m_capacity / 4))
{}

WriteBuffer::~WriteBuffer() = default;

MergeResult WriteBuffer::put(const char* data, qsizetype size)
{
    if (!m_failure.ok())
        return m_failure;
    if (size >= m_directMinimum) {
        if (MergeResult flushed = flush(); !flushed.ok())
            return flushed;
        return writeOut(data, size);
    }
    while (size > 0) {
        if (m_used == m_capacity) {
            if (MergeResult flushed = flush(); !flushed.ok())
                return flushed;
        }
        const qsizetype part = std::min(size, m_capacity - m_used);
        std::memcpy(m_buffer.get() + m_used, data, static_cast<size_t>(part));
        m_used += part;
        data += part;
        size -= part;
    }
    return MergeResult::success();
}

MergeResult WriteBuffer::flush()
{
    if (!m_failure.ok())
        return m_failure;
    const qsizetype used = m_used;
    m_used = 0;
    return writeOut(m_buffer.get(), used);
}

qint64 WriteBuffer::position() const
{
    return m_output.size() + m_used;
}

MergeResult WriteBuffer::writeOut(const char* data, qsizetype size)
{
    if (size > 0)
        m_failure = m_output.write(data, size);
    return m_failure;
}

#include "merge/copy/LineEndWriter.h"

#include "merge/output/MergeOutput.h"

#include <algorithm>
#include <cstring>

LineEndWriter::LineEndWriter(MergeOutput& output, qsizetype bufferSize)
    : m_output(output), m_capacity(std::max<qsizetype>(2, bufferSize)),
      m_buffer(std::make_unique<char[]>(static_cast<size_t>(m_capacity + lineEndSlack))),
      m_directMinimum(std::max<qsizetype>(1, m_capacity / 4))
{}

LineEndWriter::~LineEndWriter() = default;

// Up to the first lone CR the bytes go out as they are; from there on they are
// expanded into the buffer.
MergeResult LineEndWriter::feed(const char* data, qsizetype size)
{
    if (size <= 0 || !m_failure.ok())
        return m_failure;
    const char* const end = data + size;
    const LineEndRule<char>::Piece piece = m_lineEnds.take(data, end);
    if (piece.lfFirst) {
        if (MergeResult put = this->put("\n", 1); !put.ok())
            return put;
    }
    if (MergeResult put = this->put(data, piece.loneCr - data); !put.ok())
        return put;
    if (MergeResult expanded = expand(piece.loneCr, piece.settled); !expanded.ok())
        return expanded;
    return put(piece.settled, end - piece.settled);
}

// Expands [from, stop) into the buffer. The byte at `stop` is readable: it is the
// CR that ends the piece, or lies past a last byte that is not a CR.
MergeResult LineEndWriter::expand(const char* from, const char* stop)
{
    (void)expandLoneCrsInto(from, stop, m_buffer.get(), m_used, m_capacity, [this] { return flush().ok(); });
    return m_failure;
}

MergeResult LineEndWriter::endFile()
{
    const std::string_view end = m_lineEnds.finish();
    return put(end.data(), qsizetype(end.size()));
}

void LineEndWriter::startLine()
{
    m_lineEnds = LineEndRule<char>();
}

MergeResult LineEndWriter::writeRaw(QByteArrayView bytes)
{
    return put(bytes.data(), bytes.size());
}

MergeResult LineEndWriter::flush()
{
    if (!m_failure.ok())
        return m_failure;
    const qsizetype used = m_used;
    m_used = 0;
    return writeOut(m_buffer.get(), used);
}

qint64 LineEndWriter::position() const
{
    return m_output.size() + m_used;
}

MergeResult LineEndWriter::put(const char* data, qsizetype size)
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

MergeResult LineEndWriter::writeOut(const char* data, qsizetype size)
{
    if (size > 0)
        m_failure = m_output.write(data, size);
    return m_failure;
}

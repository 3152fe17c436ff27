#include "merge/LineEndWriter.h"

#include "merge/LineEndScan.h"
#include "merge/MergeOutput.h"

#include <algorithm>
#include <cstring>

LineEndWriter::LineEndWriter(MergeOutput& output, qsizetype bufferSize)
    : m_output(output), m_capacity(std::max<qsizetype>(2, bufferSize)),
      m_buffer(std::make_unique<char[]>(static_cast<size_t>(m_capacity + lineEndSlack))),
      m_directMinimum(std::max<qsizetype>(1, m_capacity / 4))
{}

LineEndWriter::~LineEndWriter() = default;

MergeResult LineEndWriter::feed(const char* data, qsizetype size)
{
    if (size <= 0 || !m_failure.ok())
        return m_failure;
    const char* const end = data + size;
    const bool crBefore = m_pendingCr;
    if (m_pendingCr) {
        m_pendingCr = false;
        if (MergeResult put = this->put(crLf, *data == '\n' ? 1 : 2); !put.ok())
            return put;
    }
    if (MergeResult fed = feedLoneCrs(data, end); !fed.ok())
        return fed;
    if (!m_pendingCr) {
        const bool crLfAtEnd = end[-1] == '\n' && (size >= 2 ? end[-2] == '\r' : crBefore);
        m_lineOpen = !crLfAtEnd;
    }
    return MergeResult::success();
}

// Writes [data, end) with every CR that is followed by something other than LF
// turned into CR LF; a CR in the last byte is held back in m_pendingCr. Up to the
// first lone CR the bytes go out as they are; from there on they are expanded
// into the buffer.
MergeResult LineEndWriter::feedLoneCrs(const char* data, const char* end)
{
    m_pendingCr = end[-1] == '\r';
    const char* const stop = m_pendingCr ? end - 1 : end;
    const char* const cr = findLoneCr(data, stop);
    if (m_pendingCr)
        m_lineOpen = false;
    if (MergeResult put = this->put(data, cr - data); !put.ok())
        return put;
    return expand(cr, stop);
}

// Expands [from, stop) into the buffer. The byte at `stop` is readable: it is the
// held-back CR or lies past a last byte that is not a CR.
MergeResult LineEndWriter::expand(const char* from, const char* stop)
{
    (void)expandLoneCrsInto(from, stop, m_buffer.get(), m_used, m_capacity, [this] { return flush().ok(); });
    return m_failure;
}

MergeResult LineEndWriter::endFile()
{
    const bool needsCrLf = m_pendingCr || m_lineOpen;
    m_pendingCr = false;
    m_lineOpen = false;
    return needsCrLf ? put(crLf, 2) : m_failure;
}

MergeResult LineEndWriter::writeSeparator()
{
    return put(crLf, 2);
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
    return m_output.size() + m_used + (m_pendingCr ? 1 : 0);
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

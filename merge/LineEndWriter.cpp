#include "merge/LineEndWriter.h"

#include "merge/LineEndScan.h"
#include "merge/MergeOutput.h"

#include <algorithm>
#include <cstring>

namespace {

constexpr char crLf[] = "\r\n";

} // namespace

LineEndWriter::LineEndWriter(MergeOutput& output, qsizetype bufferSize)
    : m_output(output), m_capacity(std::max<qsizetype>(2, bufferSize)),
      m_buffer(std::make_unique<char[]>(static_cast<size_t>(m_capacity + lineEndSlack))),
      m_directMinimum(std::max<qsizetype>(1, m_capacity / 4))
{}

LineEndWriter::~LineEndWriter() = default;

bool LineEndWriter::feed(const char* data, qsizetype size)
{
    if (size <= 0)
        return m_failure.ok();
    const char* const end = data + size;
    const bool crBefore = m_pendingCr;
    if (m_pendingCr) {
        m_pendingCr = false;
        if (!put(crLf, *data == '\n' ? 1 : 2))
            return false;
    }
    if (!feedLoneCrs(data, end))
        return false;
    if (!m_pendingCr) {
        const bool crLfAtEnd = end[-1] == '\n' && (size >= 2 ? end[-2] == '\r' : crBefore);
        m_lineOpen = !crLfAtEnd;
    }
    return true;
}

// Writes [data, end) with every CR that is followed by something other than LF
// turned into CR LF; a CR in the last byte is held back in m_pendingCr. Up to the
// first lone CR the bytes go out as they are; from there on they are expanded
// into the buffer.
bool LineEndWriter::feedLoneCrs(const char* data, const char* end)
{
    m_pendingCr = end[-1] == '\r';
    const char* const stop = m_pendingCr ? end - 1 : end;
    const char* const cr = findLoneCr(data, stop);
    if (m_pendingCr)
        m_lineOpen = false;
    return put(data, cr - data) && expand(cr, stop);
}

// Expands [from, stop) into the buffer, in pieces that fit even if every byte is a
// lone CR (hence a capacity of at least two). The byte at `stop` is readable: it is the held-back CR or lies
// past a last byte that is not a CR.
bool LineEndWriter::expand(const char* from, const char* stop)
{
    while (from != stop) {
        const qsizetype room = (m_capacity - m_used) / 2;
        if (room == 0) {
            if (!flush())
                return false;
            continue;
        }
        const char* const pieceEnd = from + std::min<qsizetype>(room, stop - from);
        m_used = expandLoneCrs(from, pieceEnd, m_buffer.get() + m_used) - m_buffer.get();
        from = pieceEnd;
    }
    return true;
}

bool LineEndWriter::endFile()
{
    const bool needsCrLf = m_pendingCr || m_lineOpen;
    m_pendingCr = false;
    m_lineOpen = false;
    return needsCrLf ? put(crLf, 2) : m_failure.ok();
}

bool LineEndWriter::writeSeparator()
{
    return put(crLf, 2);
}

bool LineEndWriter::flush()
{
    if (!m_failure.ok())
        return false;
    const qsizetype used = m_used;
    m_used = 0;
    return writeOut(m_buffer.get(), used);
}

const MergeResult& LineEndWriter::failure() const
{
    return m_failure;
}

bool LineEndWriter::put(const char* data, qsizetype size)
{
    if (!m_failure.ok())
        return false;
    if (size >= m_directMinimum)
        return flush() && writeOut(data, size);
    while (size > 0) {
        if (m_used == m_capacity && !flush())
            return false;
        const qsizetype part = std::min(size, m_capacity - m_used);
        std::memcpy(m_buffer.get() + m_used, data, static_cast<size_t>(part));
        m_used += part;
        data += part;
        size -= part;
    }
    return true;
}

bool LineEndWriter::writeOut(const char* data, qsizetype size)
{
    if (size == 0)
        return true;
    m_failure = m_output.write(data, size);
    return m_failure.ok();
}

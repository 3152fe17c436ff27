#include "merge/LineEndWriter.h"

#include "merge/MergeOutput.h"

#include <algorithm>
#include <cstring>

namespace {

constexpr char crLf[] = "\r\n";

} // namespace

LineEndWriter::LineEndWriter(MergeOutput& output, qsizetype bufferSize)
    : m_output(output), m_capacity(std::max<qsizetype>(1, bufferSize)),
      m_directMinimum(std::max<qsizetype>(1, m_capacity / 4))
{
    m_buffer = std::make_unique_for_overwrite<char[]>(static_cast<size_t>(m_capacity));
}

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
// turned into CR LF; a CR in the last byte is held back in m_pendingCr.
bool LineEndWriter::feedLoneCrs(const char* data, const char* end)
{
    const char* run = data;
    const char* from = data;
    while (const auto* cr = static_cast<const char*>(std::memchr(from, '\r', static_cast<size_t>(end - from)))) {
        if (cr + 1 == end) {
            m_pendingCr = true;
            m_lineOpen = false;
            return put(run, cr - run);
        }
        if (cr[1] == '\n') {
            from = cr + 2;
            continue;
        }
        if (!put(run, cr + 1 - run) || !put(crLf + 1, 1))
            return false;
        run = from = cr + 1;
    }
    return put(run, end - run);
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
    if (m_used + size > m_capacity && !flush())
        return false;
    std::memcpy(m_buffer.get() + m_used, data, static_cast<size_t>(size));
    m_used += size;
    return true;
}

bool LineEndWriter::writeOut(const char* data, qsizetype size)
{
    if (size == 0)
        return true;
    m_failure = m_output.write(data, size);
    return m_failure.ok();
}

#include "merge/LineEndWriter.h"

#include "merge/MergeOutput.h"

#include <algorithm>
#include <bit>
#include <cstring>

#if defined(__SSE2__) || defined(_M_X64) || (defined(_M_IX86_FP) && _M_IX86_FP >= 2)
#define TAMBOREL_HAVE_SSE2 1
#include <emmintrin.h>
#endif

namespace {

constexpr char crLf[] = "\r\n";
constexpr qsizetype pageSize = 4096;

// Whether memory at `data` and the file position `offset` lie at the same place
// within a cache line. The kernel copies between user memory and the page cache up
// to twice as fast when they do: after a two-byte separator, writing straight from
// the read buffer (aligned like the input file) would lose that.
bool sameCacheLineOffset(const char* data, qint64 offset)
{
    return (reinterpret_cast<quintptr>(data) - static_cast<quintptr>(offset)) % 64 == 0;
}

const char* findLoneCrBytewise(const char* from, const char* end)
{
    while (const auto* cr =
               static_cast<const char*>(std::memchr(from, '\r', static_cast<size_t>(end - from)))) {
        if (cr + 1 == end || cr[1] != '\n')
            return cr;
        from = cr + 2;
    }
    return end;
}

// The first CR in [from, end) that is not followed by LF, counting a CR in the last
// byte (whose successor is not known yet); `end` when there is none. CR LF pairs
// are passed without stopping, so a block whose line ends are all CR LF is searched
// in one pass: sixteen bytes at a time where the target has SSE2, by memchr()
// elsewhere. Kept in this file so that it is inlined into the per-line loop.
const char* findLoneCr(const char* from, const char* end)
{
#ifdef TAMBOREL_HAVE_SSE2
    const __m128i cr = _mm_set1_epi8('\r');
    const __m128i lf = _mm_set1_epi8('\n');
    // Each step also reads the byte after its sixteen, so it stops while one is left.
    while (end - from > 16) {
        const __m128i here = _mm_loadu_si128(reinterpret_cast<const __m128i*>(from));
        const __m128i next = _mm_loadu_si128(reinterpret_cast<const __m128i*>(from + 1));
        const __m128i lone = _mm_andnot_si128(_mm_cmpeq_epi8(next, lf), _mm_cmpeq_epi8(here, cr));
        if (const int mask = _mm_movemask_epi8(lone); mask != 0)
            return from + std::countr_zero(static_cast<unsigned>(mask));
        from += 16;
    }
#endif
    return findLoneCrBytewise(from, end);
}

// Copies like memcpy(). For large blocks glibc may pick "rep movsb", which some
// processors run at half speed when source and destination are not equally placed
// within a cache line, as happens whenever a block goes through the buffer.
void copyBytes(char* to, const char* from, qsizetype size)
{
#ifdef TAMBOREL_HAVE_SSE2
    for (; size >= 64; size -= 64, from += 64, to += 64) {
        const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(from));
        const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(from + 16));
        const __m128i c = _mm_loadu_si128(reinterpret_cast<const __m128i*>(from + 32));
        const __m128i d = _mm_loadu_si128(reinterpret_cast<const __m128i*>(from + 48));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(to), a);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(to + 16), b);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(to + 32), c);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(to + 48), d);
    }
#endif
    std::memcpy(to, from, static_cast<size_t>(size));
}

} // namespace

LineEndWriter::LineEndWriter(MergeOutput& output, qsizetype bufferSize)
    : m_output(output), m_capacity(std::max<qsizetype>(1, bufferSize)), m_buffer(m_capacity + pageSize),
      m_pending(m_buffer.data()), m_directMinimum(std::max<qsizetype>(1, m_capacity / 4))
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
// turned into CR LF; a CR in the last byte is held back in m_pendingCr.
bool LineEndWriter::feedLoneCrs(const char* data, const char* end)
{
    const char* run = data;
    for (const char* cr = findLoneCr(data, end); cr != end; cr = findLoneCr(run, end)) {
        if (cr + 1 == end) {
            m_pendingCr = true;
            m_lineOpen = false;
            return put(run, cr - run);
        }
        if (!putWithLf(run, cr + 1 - run))
            return false;
        run = cr + 1;
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
    if (!writeOut(m_pending, used))
        return false;
    m_pending = m_buffer.data() + m_written % pageSize;
    return true;
}

const MergeResult& LineEndWriter::failure() const
{
    return m_failure;
}

bool LineEndWriter::put(const char* data, qsizetype size)
{
    if (!m_failure.ok())
        return false;
    if (size >= m_directMinimum && sameCacheLineOffset(data, m_written + m_used))
        return flush() && writeOut(data, size);
    while (size > 0) {
        if (m_used == m_capacity && !flush())
            return false;
        const qsizetype part = std::min(size, m_capacity - m_used);
        copyBytes(m_pending + m_used, data, part);
        m_used += part;
        data += part;
        size -= part;
    }
    return true;
}

// One line ending in a lone CR, followed by the LF it lacks. Files with such line
// ends make this the per-line path, so the common case is a single copy.
bool LineEndWriter::putWithLf(const char* data, qsizetype size)
{
    if (size >= m_directMinimum || m_used + size >= m_capacity)
        return put(data, size) && put(crLf + 1, 1);
    char* const out = m_pending + m_used;
    std::memcpy(out, data, static_cast<size_t>(size));
    out[size] = '\n';
    m_used += size + 1;
    return true;
}

bool LineEndWriter::writeOut(const char* data, qsizetype size)
{
    if (size == 0)
        return true;
    m_failure = m_output.write(data, size);
    m_written += size;
    return m_failure.ok();
}

#include "merge/LineEndWriter.h"

#include "merge/MergeOutput.h"

#include <algorithm>
#include <bit>
#include <cstring>

#if defined(__SSE2__) || defined(_M_X64) || (defined(_M_IX86_FP) && _M_IX86_FP >= 2)
#define TAMBOREL_LONE_CR_SSE2 1
#include <emmintrin.h>
#endif

namespace {

constexpr char crLf[] = "\r\n";

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
#ifdef TAMBOREL_LONE_CR_SSE2
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

// One line ending in a lone CR, followed by the LF it lacks. Files with such line
// ends make this the per-line path, so the common case is a single copy.
bool LineEndWriter::putWithLf(const char* data, qsizetype size)
{
    if (size >= m_directMinimum || m_used + size >= m_capacity)
        return put(data, size) && put(crLf + 1, 1);
    char* const out = m_buffer.get() + m_used;
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
    return m_failure.ok();
}

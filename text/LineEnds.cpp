#include "text/LineEnds.h"

#include "text/CpuFeatures.h"
#include "text/LineEndKernels.h"

#include <algorithm>
#include <bit>
#include <cstring>

#if defined(__SSE2__) || defined(_M_X64) || (defined(_M_IX86_FP) && _M_IX86_FP >= 2)
#define TAMBOREL_HAVE_SSE2 1
#include <emmintrin.h>
#endif
namespace {

#ifdef TAMBOREL_HAVE_SSE2
__m128i load16(const char* from)
{
    return _mm_loadu_si128(reinterpret_cast<const __m128i*>(from));
}

// One bit per byte of the sixteen at `from`: set for a CR whose next byte is not
// LF. Reads seventeen bytes.
unsigned loneCrMask(const char* from)
{
    const __m128i crs = _mm_cmpeq_epi8(load16(from), _mm_set1_epi8('\r'));
    const __m128i lfsAfter = _mm_cmpeq_epi8(load16(from + 1), _mm_set1_epi8('\n'));
    return static_cast<unsigned>(_mm_movemask_epi8(_mm_andnot_si128(lfsAfter, crs)));
}
#endif

} // namespace

const char* findLoneCr(const char* from, const char* end)
{
#ifdef TAMBOREL_VECTOR_KERNELS
    if (cpu::hasAvx2()) {
        from = findLoneCr32(from, end);
        if (end - from > 32)
            return from;
    }
#endif
#ifdef TAMBOREL_HAVE_SSE2
    // Each step also reads the byte after its sixteen, so it stops while one is left.
    for (; end - from > 16; from += 16) {
        if (const unsigned mask = loneCrMask(from); mask != 0)
            return from + std::countr_zero(mask);
    }
#endif
    while (const auto* cr =
               static_cast<const char*>(std::memchr(from, '\r', static_cast<size_t>(end - from)))) {
        if (cr + 1 == end || cr[1] != '\n')
            return cr;
        from = cr + 2;
    }
    return end;
}

char* expandLoneCrs(const char* from, const char* end, char* to)
{
#ifdef TAMBOREL_HAVE_SSE2
    // Stores sixteen bytes at a time and keeps those up to the first lone CR; one
    // step per sixteen bytes and one per line, with no call in between.
    while (end - from > 16) {
        _mm_storeu_si128(reinterpret_cast<__m128i*>(to), load16(from));
        const unsigned mask = loneCrMask(from);
        if (mask == 0) {
            from += 16;
            to += 16;
            continue;
        }
        const int kept = std::countr_zero(mask) + 1;
        from += kept;
        to += kept;
        *to++ = '\n';
    }
#endif
    for (; from != end; ++from) {
        *to++ = *from;
        if (*from == '\r' && from[1] != '\n')
            *to++ = '\n';
    }
    return to;
}

bool expandLoneCrsInto(const char* from, const char* stop, char* buffer, qsizetype& used, qsizetype capacity,
                       const std::function<bool()>& makeRoom)
{
    while (from != stop) {
        const qsizetype fits = (capacity - used) / 2;
        if (fits == 0) {
            if (!makeRoom())
                return false;
            continue;
        }
        const char* const pieceEnd = from + std::min<qsizetype>(fits, stop - from);
        used = expandLoneCrs(from, pieceEnd, buffer + used) - buffer;
        from = pieceEnd;
    }
    return true;
}

const char16_t* findLoneCr(const char16_t* from, const char16_t* end)
{
    for (;;) {
        const char16_t* const cr = std::find(from, end, u'\r');
        if (cr == end || cr + 1 == end || cr[1] != u'\n')
            return cr;
        from = cr + 2;
    }
}

char16_t* expandLoneCrs(const char16_t* from, const char16_t* end, char16_t* to)
{
    for (; from != end; ++from) {
        *to++ = *from;
        if (*from == u'\r' && from[1] != u'\n')
            *to++ = u'\n';
    }
    return to;
}

QByteArrayView lineEndIn(TextEncoding encoding)
{
    switch (encoding) {
    case TextEncoding::Utf16Le:
        return QByteArrayView("\r\0\n\0", 4);
    case TextEncoding::Utf16Be:
        return QByteArrayView("\0\r\0\n", 4);
    default:
        return QByteArrayView(crLf, 2);
    }
}

template <typename Unit>
typename LineEndRule<Unit>::Piece LineEndRule<Unit>::take(const Unit* data, const Unit* end)
{
    Piece piece{false, end, end};
    if (data == end)
        return piece;
    const bool crBefore = m_pendingCr;
    piece.lfFirst = crBefore && *data != Unit('\n');
    m_pendingCr = end[-1] == Unit('\r');
    piece.settled = m_pendingCr ? end - 1 : end;
    piece.loneCr = findLoneCr(data, piece.settled);
    // Anything but the end of a line ending in CR LF leaves it open, an LF alone too.
    const bool crLfAtEnd = end[-1] == Unit('\n') && (end - data >= 2 ? end[-2] == Unit('\r') : crBefore);
    m_lineOpen = !m_pendingCr && !crLfAtEnd;
    return piece;
}

template <typename Unit>
Unit* LineEndRule<Unit>::write(const Unit* data, const Unit* end, Unit* to)
{
    return writeTaken(take(data, end), data, end, to);
}

template <typename Unit>
Unit* LineEndRule<Unit>::writeTaken(const Piece& piece, const Unit* data, const Unit* end, Unit* to)
{
    if (piece.lfFirst)
        *to++ = Unit('\n');
    to = std::copy(data, piece.loneCr, to);
    to = expandLoneCrs(piece.loneCr, piece.settled, to);
    return std::copy(piece.settled, end, to);
}

template <typename Unit>
void LineEndRule<Unit>::passMark()
{
    m_pendingCr = false;
    m_lineOpen = false;
}

template <typename Unit>
std::basic_string_view<Unit> LineEndRule<Unit>::finish()
{
    static constexpr Unit ends[] = {Unit('\r'), Unit('\n')};
    const std::basic_string_view<Unit> end = m_pendingCr  ? std::basic_string_view<Unit>(ends + 1, 1)
                                             : m_lineOpen ? std::basic_string_view<Unit>(ends, 2)
                                                          : std::basic_string_view<Unit>();
    m_pendingCr = false;
    m_lineOpen = false;
    return end;
}

template class LineEndRule<char>;
template class LineEndRule<char16_t>;

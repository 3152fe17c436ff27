#include "text/Utf8Validator.h"

#include <algorithm>
#include <cstring>

#if defined(__GNUC__) && (defined(__x86_64__) || defined(__i386__))
#define TAMBOREL_HAVE_SSSE3 1
#define TAMBOREL_HAVE_AVX2 1
#include <immintrin.h>
#endif

namespace {

#ifdef TAMBOREL_HAVE_SSSE3
bool hasSsse3()
{
    static const bool has = __builtin_cpu_supports("ssse3");
    return has;
}

// What each pair of a byte and the one before may violate, looked up by the high
// and low halves of the first and the high half of the second: a bit survives the
// three lookups only where the pair breaks that rule.
constexpr char tooShort = 1 << 0;       // lead or ASCII, then a lead or ASCII after a lead
constexpr char tooLong = 1 << 1;        // ASCII, then a continuation
constexpr char overlong3 = 1 << 2;      // E0, then 80..9F
constexpr char tooLarge = 1 << 3;       // F4 and above, then 90..BF
constexpr char surrogate = 1 << 4;      // ED, then A0..BF
constexpr char overlong2 = 1 << 5;      // C0 or C1, then a continuation
constexpr char tooLarge1000 = 1 << 6;   // F5 and above, then 80..8F
constexpr char overlong4 = 1 << 6;      // F0, then 80..8F
constexpr char twoConts = char(1 << 7); // a continuation, then another
constexpr char carry = tooShort | tooLong | twoConts;

__attribute__((target("ssse3"))) __m128i highHalves(__m128i bytes)
{
    return _mm_and_si128(_mm_srli_epi16(bytes, 4), _mm_set1_epi8(0x0F));
}

__attribute__((target("ssse3"))) __m128i pairErrors(__m128i input, __m128i previous)
{
    const __m128i prev1 = _mm_alignr_epi8(input, previous, 15);
    const __m128i byte1High = _mm_shuffle_epi8(
        _mm_setr_epi8(tooLong, tooLong, tooLong, tooLong, tooLong, tooLong, tooLong, tooLong, twoConts,
                      twoConts, twoConts, twoConts, tooShort | overlong2, tooShort,
                      tooShort | overlong3 | surrogate, tooShort | tooLarge | tooLarge1000 | overlong4),
        highHalves(prev1));
    constexpr char large = carry | tooLarge | tooLarge1000;
    const __m128i byte1Low =
        _mm_shuffle_epi8(_mm_setr_epi8(carry | overlong3 | overlong2 | overlong4, carry | overlong2, carry,
                                       carry, carry | tooLarge, large, large, large, large, large, large,
                                       large, large, large | surrogate, large, large),
                         _mm_and_si128(prev1, _mm_set1_epi8(0x0F)));
    constexpr char cont = tooLong | overlong2 | twoConts;
    const __m128i byte2High =
        _mm_shuffle_epi8(_mm_setr_epi8(tooShort, tooShort, tooShort, tooShort, tooShort, tooShort, tooShort,
                                       tooShort, cont | overlong3 | tooLarge1000 | overlong4,
                                       cont | overlong3 | tooLarge, cont | surrogate | tooLarge,
                                       cont | surrogate | tooLarge, tooShort, tooShort, tooShort, tooShort),
                         highHalves(input));
    const __m128i special = _mm_and_si128(_mm_and_si128(byte1High, byte1Low), byte2High);
    // The third and fourth bytes of longer sequences must be continuations, which
    // the pair rules mark as twoConts.
    const __m128i third =
        _mm_subs_epu8(_mm_alignr_epi8(input, previous, 14), _mm_set1_epi8(char(0xE0 - 0x80)));
    const __m128i fourth =
        _mm_subs_epu8(_mm_alignr_epi8(input, previous, 13), _mm_set1_epi8(char(0xF0 - 0x80)));
    const __m128i mustContinue = _mm_and_si128(_mm_or_si128(third, fourth), _mm_set1_epi8(char(0x80)));
    return _mm_xor_si128(mustContinue, special);
}

// Non-zero where the chunk ends inside a sequence.
__attribute__((target("ssse3"))) __m128i endsInside(__m128i input)
{
    return _mm_subs_epu8(input,
                         _mm_setr_epi8(char(0xFF), char(0xFF), char(0xFF), char(0xFF), char(0xFF), char(0xFF),
                                       char(0xFF), char(0xFF), char(0xFF), char(0xFF), char(0xFF), char(0xFF),
                                       char(0xFF), char(0xF0 - 1), char(0xE0 - 1), char(0xC0 - 1)));
}

__attribute__((target("ssse3"))) void validateChunks(const unsigned char* data, qsizetype chunks,
                                                     unsigned char* previousBytes,
                                                     unsigned char* incompleteBytes,
                                                     unsigned char* errorBytes, bool& nonAscii)
{
    __m128i previous = _mm_load_si128(reinterpret_cast<const __m128i*>(previousBytes));
    __m128i incomplete = _mm_load_si128(reinterpret_cast<const __m128i*>(incompleteBytes));
    __m128i errors = _mm_load_si128(reinterpret_cast<const __m128i*>(errorBytes));
    const auto* chunk = reinterpret_cast<const __m128i*>(data);
    const auto step = [&](__m128i input) __attribute__((target("ssse3")))
    {
        if (_mm_movemask_epi8(input) == 0) {
            errors = _mm_or_si128(errors, incomplete);
            incomplete = _mm_setzero_si128();
        } else {
            nonAscii = true;
            errors = _mm_or_si128(errors, pairErrors(input, previous));
            incomplete = endsInside(input);
        }
        previous = input;
    };
    qsizetype i = 0;
    // Most text has long ASCII runs: four chunks of them are passed at once.
    for (; i + 4 <= chunks; i += 4) {
        const __m128i c0 = _mm_loadu_si128(chunk + i);
        const __m128i c1 = _mm_loadu_si128(chunk + i + 1);
        const __m128i c2 = _mm_loadu_si128(chunk + i + 2);
        const __m128i c3 = _mm_loadu_si128(chunk + i + 3);
        if (_mm_movemask_epi8(_mm_or_si128(_mm_or_si128(c0, c1), _mm_or_si128(c2, c3))) == 0) {
            errors = _mm_or_si128(errors, incomplete);
            incomplete = _mm_setzero_si128();
            previous = c3;
            continue;
        }
        step(c0);
        step(c1);
        step(c2);
        step(c3);
    }
    for (; i < chunks; ++i)
        step(_mm_loadu_si128(chunk + i));
    _mm_store_si128(reinterpret_cast<__m128i*>(previousBytes), previous);
    _mm_store_si128(reinterpret_cast<__m128i*>(incompleteBytes), incomplete);
    _mm_store_si128(reinterpret_cast<__m128i*>(errorBytes), errors);
}
#endif

#ifdef TAMBOREL_HAVE_AVX2
bool hasAvx2()
{
    static const bool has = __builtin_cpu_supports("avx2");
    return has;
}

// The sixteen-byte kernel above on thirty-two bytes: the same tables in both halves,
// and the bytes before each half taken across the halves.
__attribute__((target("avx2"))) __m256i table(__m128i entries)
{
    return _mm256_broadcastsi128_si256(entries);
}

__attribute__((target("avx2"))) __m256i highHalves(__m256i bytes)
{
    return _mm256_and_si256(_mm256_srli_epi16(bytes, 4), _mm256_set1_epi8(0x0F));
}

// The input moved `by` bytes on, the last bytes of `previous` coming in first.
template <int by>
__attribute__((target("avx2"))) __m256i before(__m256i input, __m256i previous)
{
    return _mm256_alignr_epi8(input, _mm256_permute2x128_si256(previous, input, 0x21), 16 - by);
}

__attribute__((target("avx2"))) __m256i pairErrors(__m256i input, __m256i previous)
{
    const __m256i prev1 = before<1>(input, previous);
    const __m256i byte1High = _mm256_shuffle_epi8(
        table(_mm_setr_epi8(tooLong, tooLong, tooLong, tooLong, tooLong, tooLong, tooLong, tooLong, twoConts,
                            twoConts, twoConts, twoConts, tooShort | overlong2, tooShort,
                            tooShort | overlong3 | surrogate,
                            tooShort | tooLarge | tooLarge1000 | overlong4)),
        highHalves(prev1));
    constexpr char large = carry | tooLarge | tooLarge1000;
    const __m256i byte1Low =
        _mm256_shuffle_epi8(table(_mm_setr_epi8(carry | overlong3 | overlong2 | overlong4, carry | overlong2,
                                                carry, carry, carry | tooLarge, large, large, large, large,
                                                large, large, large, large, large | surrogate, large, large)),
                            _mm256_and_si256(prev1, _mm256_set1_epi8(0x0F)));
    constexpr char cont = tooLong | overlong2 | twoConts;
    const __m256i byte2High = _mm256_shuffle_epi8(
        table(_mm_setr_epi8(tooShort, tooShort, tooShort, tooShort, tooShort, tooShort, tooShort, tooShort,
                            cont | overlong3 | tooLarge1000 | overlong4, cont | overlong3 | tooLarge,
                            cont | surrogate | tooLarge, cont | surrogate | tooLarge, tooShort, tooShort,
                            tooShort, tooShort)),
        highHalves(input));
    const __m256i special = _mm256_and_si256(_mm256_and_si256(byte1High, byte1Low), byte2High);
    const __m256i third = _mm256_subs_epu8(before<2>(input, previous), _mm256_set1_epi8(char(0xE0 - 0x80)));
    const __m256i fourth = _mm256_subs_epu8(before<3>(input, previous), _mm256_set1_epi8(char(0xF0 - 0x80)));
    const __m256i mustContinue =
        _mm256_and_si256(_mm256_or_si256(third, fourth), _mm256_set1_epi8(char(0x80)));
    return _mm256_xor_si256(mustContinue, special);
}

__attribute__((target("avx2"))) __m256i endsInside(__m256i input)
{
    const __m256i last =
        _mm256_setr_epi8(char(0xFF), char(0xFF), char(0xFF), char(0xFF), char(0xFF), char(0xFF), char(0xFF),
                         char(0xFF), char(0xFF), char(0xFF), char(0xFF), char(0xFF), char(0xFF), char(0xFF),
                         char(0xFF), char(0xFF), char(0xFF), char(0xFF), char(0xFF), char(0xFF), char(0xFF),
                         char(0xFF), char(0xFF), char(0xFF), char(0xFF), char(0xFF), char(0xFF), char(0xFF),
                         char(0xFF), char(0xF0 - 1), char(0xE0 - 1), char(0xC0 - 1));
    return _mm256_subs_epu8(input, last);
}

__attribute__((target("avx2"))) void validateChunks32(const unsigned char* data, qsizetype chunks,
                                                      unsigned char* previousBytes,
                                                      unsigned char* incompleteBytes,
                                                      unsigned char* errorBytes, bool& nonAscii)
{
    __m256i previous = _mm256_load_si256(reinterpret_cast<const __m256i*>(previousBytes));
    __m256i incomplete = _mm256_load_si256(reinterpret_cast<const __m256i*>(incompleteBytes));
    __m256i errors = _mm256_load_si256(reinterpret_cast<const __m256i*>(errorBytes));
    const auto* chunk = reinterpret_cast<const __m256i*>(data);
    const auto step = [&](__m256i input) __attribute__((target("avx2")))
    {
        if (_mm256_movemask_epi8(input) == 0) {
            errors = _mm256_or_si256(errors, incomplete);
            incomplete = _mm256_setzero_si256();
        } else {
            nonAscii = true;
            errors = _mm256_or_si256(errors, pairErrors(input, previous));
            incomplete = endsInside(input);
        }
        previous = input;
    };
    qsizetype i = 0;
    // Most text has long ASCII runs: four chunks of them are passed at once.
    for (; i + 4 <= chunks; i += 4) {
        const __m256i c0 = _mm256_loadu_si256(chunk + i);
        const __m256i c1 = _mm256_loadu_si256(chunk + i + 1);
        const __m256i c2 = _mm256_loadu_si256(chunk + i + 2);
        const __m256i c3 = _mm256_loadu_si256(chunk + i + 3);
        if (_mm256_movemask_epi8(_mm256_or_si256(_mm256_or_si256(c0, c1), _mm256_or_si256(c2, c3))) == 0) {
            errors = _mm256_or_si256(errors, incomplete);
            incomplete = _mm256_setzero_si256();
            previous = c3;
            continue;
        }
        step(c0);
        step(c1);
        step(c2);
        step(c3);
    }
    for (; i < chunks; ++i)
        step(_mm256_loadu_si256(chunk + i));
    _mm256_store_si256(reinterpret_cast<__m256i*>(previousBytes), previous);
    _mm256_store_si256(reinterpret_cast<__m256i*>(incompleteBytes), incomplete);
    _mm256_store_si256(reinterpret_cast<__m256i*>(errorBytes), errors);
}
#endif

bool anySet(const unsigned char* bytes)
{
    return std::any_of(bytes, bytes + 32, [](unsigned char byte) { return byte != 0; });
}

} // namespace

Utf8Validator::Utf8Validator(Method method)
{
#ifdef TAMBOREL_HAVE_SSSE3
    const bool avx2 = hasAvx2() && (method == Method::Fastest || method == Method::Avx2);
    const bool ssse3 = hasSsse3() && (method == Method::Fastest || method == Method::Ssse3);
    m_chunk = avx2 ? 32 : ssse3 ? 16 : 0;
#else
    Q_UNUSED(method);
#endif
}

bool Utf8Validator::isAvailable(Method method)
{
#ifdef TAMBOREL_HAVE_SSSE3
    switch (method) {
    case Method::Avx2:
        return hasAvx2();
    case Method::Ssse3:
        return hasSsse3();
    default:
        return true;
    }
#else
    return method == Method::Fastest || method == Method::ByteByByte;
#endif
}

void Utf8Validator::feed(const unsigned char* data, qsizetype size)
{
    if (m_failed || size <= 0)
        return;
    if (m_chunk > 0)
        feedChunks(data, size);
    else
        feedBytes(data, size);
}

void Utf8Validator::validate(const unsigned char* data, qsizetype chunks)
{
#ifdef TAMBOREL_HAVE_SSSE3
    if (m_chunk == 32)
        validateChunks32(data, chunks, m_previous, m_incomplete, m_errors, m_nonAscii);
    else
        validateChunks(data, chunks, m_previous, m_incomplete, m_errors, m_nonAscii);
#else
    Q_UNUSED(data);
    Q_UNUSED(chunks);
#endif
}

void Utf8Validator::feedChunks(const unsigned char* data, qsizetype size)
{
    if (m_pendingSize > 0) {
        const qsizetype taken = std::min<qsizetype>(m_chunk - m_pendingSize, size);
        std::memcpy(m_pending + m_pendingSize, data, static_cast<size_t>(taken));
        m_pendingSize += taken;
        data += taken;
        size -= taken;
        if (m_pendingSize < m_chunk)
            return;
        validate(m_pending, 1);
        m_pendingSize = 0;
    }
    validate(data, size / m_chunk);
    m_pendingSize = size % m_chunk;
    std::memcpy(m_pending, data + size - m_pendingSize, static_cast<size_t>(m_pendingSize));
    m_failed = anySet(m_errors);
}

void Utf8Validator::feedBytes(const unsigned char* data, qsizetype size)
{
    for (qsizetype i = 0; i < size && !m_failed; ++i) {
        const unsigned char byte = data[i];
        m_nonAscii = m_nonAscii || byte >= 0x80;
        if (m_due > 0) {
            m_failed = byte < m_low || byte > m_high;
            --m_due;
            m_low = 0x80;
            m_high = 0xBF;
            continue;
        }
        const Utf8Lead lead = utf8Lead(byte);
        m_failed = lead.following < 0;
        m_due = lead.following;
        m_low = lead.low;
        m_high = lead.high;
    }
}

bool Utf8Validator::sawNonAscii() const
{
    return m_nonAscii ||
           std::any_of(m_pending, m_pending + m_pendingSize, [](unsigned char byte) { return byte >= 0x80; });
}

bool Utf8Validator::failed() const
{
    return m_failed;
}

bool Utf8Validator::valid() const
{
    if (m_failed)
        return false;
    if (m_chunk == 0)
        return m_due == 0;
    // The bytes left over are checked as a chunk ending in NULs, which a cut
    // sequence cannot be followed by.
    Utf8Validator last = *this;
    std::memset(last.m_pending + last.m_pendingSize, 0, static_cast<size_t>(m_chunk - last.m_pendingSize));
    last.validate(last.m_pending, 1);
    return !anySet(last.m_errors) && !anySet(last.m_incomplete);
}

// Everything in this file is built for SSSE3, which the rest of the program may not
// assume: it is reached only where the processor has it.
#pragma GCC target("ssse3")

#include "text/Gb18030ChunkKernel.h"

#include <immintrin.h>

namespace {

struct Ssse3
{
    static constexpr int width = 16;

    struct Kinds
    {
        std::uint32_t high, noLead, noTrail, digit;
    };

    static __m128i splat(int byte) { return _mm_set1_epi8(char(byte)); }
    static std::uint32_t mask(__m128i bytes) { return std::uint32_t(_mm_movemask_epi8(bytes)); }

    // Signed comparisons: bytes above ASCII count as below every ASCII byte.
    static Kinds kinds(const unsigned char* at)
    {
        const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(at));
        const __m128i ff = _mm_cmpeq_epi8(bytes, splat(0xFF));
        const __m128i digit =
            _mm_and_si128(_mm_cmpgt_epi8(bytes, splat(0x2F)), _mm_cmpgt_epi8(splat(0x3A), bytes));
        const std::uint32_t high = mask(bytes);
        const std::uint32_t below40 = mask(_mm_cmpgt_epi8(splat(0x40), bytes));
        const std::uint32_t digits = mask(digit);
        return {high, mask(_mm_or_si128(_mm_cmpeq_epi8(bytes, splat(0x80)), ff)),
                (below40 & ~high & ~digits) | mask(_mm_or_si128(_mm_cmpeq_epi8(bytes, splat(0x7F)), ff)),
                digits};
    }
};

} // namespace

std::ptrdiff_t checkGb18030Chunks16(const unsigned char* data, std::ptrdiff_t chunks, bool& leadBefore)
{
    return checkChunks<Ssse3>(data, chunks, leadBefore);
}

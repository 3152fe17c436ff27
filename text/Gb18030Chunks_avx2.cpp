// Everything in this file is built for AVX2, which the rest of the program may not
// assume: it is reached only where the processor has it.
#pragma GCC target("avx2")

#include "text/Gb18030ChunkKernel.h"

#include <immintrin.h>

namespace {

struct Avx2
{
    static constexpr int width = 32;

    struct Kinds
    {
        std::uint32_t high, noLead, noTrail, digit;
    };

    static __m256i splat(int byte) { return _mm256_set1_epi8(char(byte)); }
    static std::uint32_t mask(__m256i bytes) { return std::uint32_t(_mm256_movemask_epi8(bytes)); }

    // Signed comparisons: bytes above ASCII count as below every ASCII byte.
    static Kinds kinds(const unsigned char* at)
    {
        const __m256i bytes = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(at));
        const __m256i ff = _mm256_cmpeq_epi8(bytes, splat(0xFF));
        const __m256i digit =
            _mm256_and_si256(_mm256_cmpgt_epi8(bytes, splat(0x2F)), _mm256_cmpgt_epi8(splat(0x3A), bytes));
        const std::uint32_t high = mask(bytes);
        const std::uint32_t below40 = mask(_mm256_cmpgt_epi8(splat(0x40), bytes));
        const std::uint32_t digits = mask(digit);
        return {high, mask(_mm256_or_si256(_mm256_cmpeq_epi8(bytes, splat(0x80)), ff)),
                (below40 & ~high & ~digits) |
                    mask(_mm256_or_si256(_mm256_cmpeq_epi8(bytes, splat(0x7F)), ff)),
                digits};
    }
};

} // namespace

std::ptrdiff_t checkGb18030Chunks32(const unsigned char* data, std::ptrdiff_t chunks, bool& leadBefore)
{
    return checkChunks<Avx2>(data, chunks, leadBefore);
}

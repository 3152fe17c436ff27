// Everything in this file is built for AVX2, which the rest of the program may not
// assume: it is reached only where the processor has it.
#pragma GCC target("avx2")

#include "text/Gb18030ChunkKernel.h"

#include <immintrin.h>

namespace {

struct Avx2
{
    using Vec = __m256i;
    static constexpr int width = 32;

    static Vec load(const unsigned char* at) { return _mm256_loadu_si256(reinterpret_cast<const Vec*>(at)); }
    static Vec splat(int byte) { return _mm256_set1_epi8(char(byte)); }
    static Vec equal(Vec a, Vec b) { return _mm256_cmpeq_epi8(a, b); }
    static Vec greater(Vec a, Vec b) { return _mm256_cmpgt_epi8(a, b); }
    static Vec either(Vec a, Vec b) { return _mm256_or_si256(a, b); }
    static std::uint32_t mask(Vec bytes) { return std::uint32_t(_mm256_movemask_epi8(bytes)); }
};

} // namespace

std::ptrdiff_t checkGb18030Chunks32(const unsigned char* data, std::ptrdiff_t chunks, bool& leadBefore)
{
    return checkChunks<Avx2>(data, chunks, leadBefore);
}

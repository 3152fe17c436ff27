// Everything in this file is built for SSSE3, which the rest of the program may not
// assume: it is reached only where the processor has it.
#pragma GCC target("ssse3")

#include "text/Gb18030ChunkKernel.h"

#include <immintrin.h>

namespace {

struct Ssse3
{
    using Vec = __m128i;
    static constexpr int width = 16;

    static Vec load(const unsigned char* at) { return _mm_loadu_si128(reinterpret_cast<const Vec*>(at)); }
    static Vec splat(int byte) { return _mm_set1_epi8(char(byte)); }
    static Vec equal(Vec a, Vec b) { return _mm_cmpeq_epi8(a, b); }
    static Vec greater(Vec a, Vec b) { return _mm_cmpgt_epi8(a, b); }
    static Vec either(Vec a, Vec b) { return _mm_or_si128(a, b); }
    static std::uint32_t mask(Vec bytes) { return std::uint32_t(_mm_movemask_epi8(bytes)); }
};

} // namespace

std::ptrdiff_t checkGb18030Chunks16(const unsigned char* data, std::ptrdiff_t chunks, bool& leadBefore)
{
    return checkChunks<Ssse3>(data, chunks, leadBefore);
}

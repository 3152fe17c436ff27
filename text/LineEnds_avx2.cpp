// Everything in this file is built for AVX2, which the rest of the program may not
// assume: it is reached only where the processor has it.
#pragma GCC target("avx2")

#include "text/LineEndKernels.h"

#include <bit>
#include <immintrin.h>

const char* findLoneCr32(const char* from, const char* end)
{
    const __m256i cr = _mm256_set1_epi8('\r');
    const __m256i lf = _mm256_set1_epi8('\n');
    // Each step also reads the byte after its thirty-two.
    for (; end - from > 32; from += 32) {
        const __m256i bytes = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(from));
        const __m256i next = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(from + 1));
        const auto mask = static_cast<unsigned>(_mm256_movemask_epi8(
            _mm256_andnot_si256(_mm256_cmpeq_epi8(next, lf), _mm256_cmpeq_epi8(bytes, cr))));
        if (mask != 0)
            return from + std::countr_zero(mask);
    }
    return from;
}

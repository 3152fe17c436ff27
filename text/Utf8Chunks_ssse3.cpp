// Everything in this file is built for SSSE3, which the rest of the program may not
// assume: it is reached only where the processor has it.
#pragma GCC target("ssse3")

#include "text/Utf8ChunkKernel.h"

#include <immintrin.h>

namespace {

struct Ssse3
{
    using Vec = __m128i;
    static constexpr std::ptrdiff_t width = 16;

    static Vec load(const void* at) { return _mm_loadu_si128(static_cast<const Vec*>(at)); }
    static void store(void* at, Vec bytes) { _mm_storeu_si128(static_cast<Vec*>(at), bytes); }
    static Vec zero() { return _mm_setzero_si128(); }
    static Vec splat(char byte) { return _mm_set1_epi8(byte); }
    static Vec orBits(Vec a, Vec b) { return _mm_or_si128(a, b); }
    static Vec andBits(Vec a, Vec b) { return _mm_and_si128(a, b); }
    static Vec xorBits(Vec a, Vec b) { return _mm_xor_si128(a, b); }
    static Vec subtractSaturated(Vec a, Vec b) { return _mm_subs_epu8(a, b); }
    static bool isAscii(Vec bytes) { return _mm_movemask_epi8(bytes) == 0; }
    static Vec highHalves(Vec bytes) { return _mm_and_si128(_mm_srli_epi16(bytes, 4), splat(0x0F)); }
    static Vec lookup(const char (&table)[16], Vec index) { return _mm_shuffle_epi8(load(table), index); }
    // The input moved `by` bytes on, the last bytes of `previous` coming in first.
    template <int by>
    static Vec before(Vec input, Vec previous)
    {
        return _mm_alignr_epi8(input, previous, 16 - by);
    }
};

} // namespace

void validateUtf8Chunks16(const unsigned char* data, std::ptrdiff_t chunks, Utf8ChunkState& state)
{
    validateChunks<Ssse3>(data, chunks, state);
}

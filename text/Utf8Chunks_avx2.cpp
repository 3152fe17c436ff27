// Everything in this file is built for AVX2, which the rest of the program may not
// assume: it is reached only where the processor has it.
#pragma GCC target("avx2")

#include "text/Utf8ChunkKernel.h"

#include <immintrin.h>

namespace {

// Two sixteen-byte lanes: the tables stand in both, and the bytes before each lane
// are taken across the lanes.
struct Avx2
{
    using Vec = __m256i;
    static constexpr std::ptrdiff_t width = 32;

    static Vec load(const void* at) { return _mm256_loadu_si256(static_cast<const Vec*>(at)); }
    static void store(void* at, Vec bytes) { _mm256_storeu_si256(static_cast<Vec*>(at), bytes); }
    static Vec zero() { return _mm256_setzero_si256(); }
    static Vec splat(char byte) { return _mm256_set1_epi8(byte); }
    static Vec orBits(Vec a, Vec b) { return _mm256_or_si256(a, b); }
    static Vec andBits(Vec a, Vec b) { return _mm256_and_si256(a, b); }
    static Vec xorBits(Vec a, Vec b) { return _mm256_xor_si256(a, b); }
    static Vec subtractSaturated(Vec a, Vec b) { return _mm256_subs_epu8(a, b); }
    static bool isAscii(Vec bytes) { return _mm256_movemask_epi8(bytes) == 0; }
    static Vec highHalves(Vec bytes) { return _mm256_and_si256(_mm256_srli_epi16(bytes, 4), splat(0x0F)); }
    static Vec lookup(const char (&table)[16], Vec index)
    {
        const __m128i entries = _mm_loadu_si128(reinterpret_cast<const __m128i*>(table));
        return _mm256_shuffle_epi8(_mm256_broadcastsi128_si256(entries), index);
    }
    // The input moved `by` bytes on, the last bytes of `previous` coming in first.
    template <int by>
    static Vec before(Vec input, Vec previous)
    {
        return _mm256_alignr_epi8(input, _mm256_permute2x128_si256(previous, input, 0x21), 16 - by);
    }
};

} // namespace

void validateUtf8Chunks32(const unsigned char* data, std::ptrdiff_t chunks, Utf8ChunkState& state)
{
    validateChunks<Avx2>(data, chunks, state);
}

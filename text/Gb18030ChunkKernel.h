#pragma once

// The vector GB18030 check, written once for any width. Only the files that build it
// for one instruction set include it; everything here has internal linkage, so that
// no function built for AVX2 can stand in for one that must run without it.

#include "text/Gb18030Chunks.h"

#include <cstdint>

namespace {

constexpr std::ptrdiff_t chunkSize = 64;

// One bit per byte of a chunk, for each kind of byte the check tells apart.
struct ByteKinds
{
    std::uint64_t high = 0;   // 80 and above
    std::uint64_t noLead = 0; // 80, FF
    // Below 40, 7F, FF; digits among them, as the second byte of a four-byte sequence,
    // are left to the byte rule.
    std::uint64_t noTrail = 0;
};

// The kinds of `Vector::width` bytes, a bit each. The comparisons are signed, so
// bytes above ASCII count as below every ASCII byte.
template <typename Vector>
ByteKinds kindsOfPart(const unsigned char* at)
{
    const auto bytes = Vector::load(at);
    const auto ff = Vector::equal(bytes, Vector::splat(0xFF));
    const std::uint64_t high = Vector::mask(bytes);
    const std::uint64_t below40 = Vector::mask(Vector::greater(Vector::splat(0x40), bytes));
    return {high, Vector::mask(Vector::either(Vector::equal(bytes, Vector::splat(0x80)), ff)),
            (below40 & ~high) | Vector::mask(Vector::either(Vector::equal(bytes, Vector::splat(0x7F)), ff))};
}

template <typename Vector>
ByteKinds kindsOf(const unsigned char* chunk)
{
    ByteKinds kinds;
    for (int at = 0; at < chunkSize; at += Vector::width) {
        const ByteKinds part = kindsOfPart<Vector>(chunk + at);
        kinds.high |= part.high << at;
        kinds.noLead |= part.noLead << at;
        kinds.noTrail |= part.noTrail << at;
    }
    return kinds;
}

// Where a character starts no one can tell from a byte alone: a trail byte may look
// like a lead. But outside four-byte sequences, a byte above ASCII is a lead exactly
// where the byte before is not one; so in each run of such bytes the leads stand at
// even distances from the run's first byte, unless that byte is the trail of a lead
// before it. Runs that start at an even place are found by adding their first bit to
// them, which clears the run as the carry runs through it.
template <typename Vector>
std::ptrdiff_t checkChunks(const unsigned char* data, std::ptrdiff_t chunks, bool& leadBefore)
{
    constexpr std::uint64_t evenPlaces = 0x5555555555555555ULL;
    for (std::ptrdiff_t chunk = 0; chunk < chunks; ++chunk) {
        const ByteKinds kinds = kindsOf<Vector>(data + chunk * chunkSize);
        const std::uint64_t trailFirst = leadBefore ? 1 : 0;
        if ((kinds.high | trailFirst) == 0)
            continue;
        const std::uint64_t runStarts = kinds.high & ~(kinds.high << 1) & ~trailFirst;
        const std::uint64_t evenRuns = kinds.high & ~(kinds.high + (runStarts & evenPlaces));
        const std::uint64_t leads = (evenRuns & evenPlaces) | (kinds.high & ~evenRuns & ~evenPlaces);
        const std::uint64_t trails = (leads << 1) | trailFirst;
        if ((leads & kinds.noLead) != 0 || (trails & kinds.noTrail) != 0)
            return chunk;
        leadBefore = (leads >> 63) != 0;
    }
    return chunks;
}

} // namespace

#pragma once

// The vector UTF-8 check, written once for any width (the way simdjson validates).
// Only the files that build it for one instruction set include it; everything here
// has internal linkage, so that no function built for AVX2 can stand in for one that
// must run without it.

#include "text/Utf8Chunks.h"

namespace {

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
constexpr char large = carry | tooLarge | tooLarge1000;
constexpr char cont = tooLong | overlong2 | twoConts;

// Indexed by a byte's high or low half. clang-format would put an entry a line.
// clang-format off
constexpr char byte1HighRules[16] = {
    tooLong, tooLong, tooLong, tooLong, tooLong, tooLong, tooLong, tooLong, // 0..7: ASCII
    twoConts, twoConts, twoConts, twoConts,                                 // 8..B: continuations
    tooShort | overlong2, tooShort, tooShort | overlong3 | surrogate,       // C, D, E: leads
    tooShort | tooLarge | tooLarge1000 | overlong4};                        // F
constexpr char byte1LowRules[16] = {
    carry | overlong3 | overlong2 | overlong4, carry | overlong2, carry, carry, // 0..3
    carry | tooLarge, large, large, large, large, large, large, large,         // 4..B
    large, large | surrogate, large, large};                                   // C..F
constexpr char byte2HighRules[16] = {
    tooShort, tooShort, tooShort, tooShort, tooShort, tooShort, tooShort, tooShort, // 0..7: ASCII
    cont | overlong3 | tooLarge1000 | overlong4, cont | overlong3 | tooLarge,     // 8, 9
    cont | surrogate | tooLarge, cont | surrogate | tooLarge,                     // A, B
    tooShort, tooShort, tooShort, tooShort};                                      // C..F: leads
// clang-format on

// A chunk ends inside a sequence where one of its last three bytes is at or above
// these: a lead of four bytes, three, two. The last `width` of them are used.
constexpr unsigned char lastByteLimits[32] = {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF,     0xFF,     0xFF,
                                              0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF,     0xFF,     0xFF,
                                              0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF,     0xFF,     0xFF,
                                              0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xF0 - 1, 0xE0 - 1, 0xC0 - 1};

template <class V>
typename V::Vec lowHalves(typename V::Vec bytes)
{
    return V::andBits(bytes, V::splat(0x0F));
}

template <class V>
typename V::Vec pairErrors(typename V::Vec input, typename V::Vec previous)
{
    using Vec = typename V::Vec;
    const Vec prev1 = V::template before<1>(input, previous);
    const Vec special = V::andBits(V::andBits(V::lookup(byte1HighRules, V::highHalves(prev1)),
                                              V::lookup(byte1LowRules, lowHalves<V>(prev1))),
                                   V::lookup(byte2HighRules, V::highHalves(input)));
    // The third and fourth bytes of longer sequences must be continuations, which
    // the pair rules mark as twoConts.
    const Vec third =
        V::subtractSaturated(V::template before<2>(input, previous), V::splat(char(0xE0 - 0x80)));
    const Vec fourth =
        V::subtractSaturated(V::template before<3>(input, previous), V::splat(char(0xF0 - 0x80)));
    const Vec mustContinue = V::andBits(V::orBits(third, fourth), V::splat(char(0x80)));
    return V::xorBits(mustContinue, special);
}

// Non-zero where the chunk ends inside a sequence.
template <class V>
typename V::Vec endsInside(typename V::Vec input)
{
    return V::subtractSaturated(input, V::load(lastByteLimits + sizeof lastByteLimits - V::width));
}

template <class V>
void validateChunks(const unsigned char* data, std::ptrdiff_t chunks, Utf8ChunkState& state)
{
    using Vec = typename V::Vec;
    Vec previous = V::load(state.previous);
    Vec incomplete = V::load(state.incomplete);
    Vec errors = V::load(state.errors);
    bool nonAscii = state.nonAscii;
    const auto step = [&](Vec input) {
        if (V::isAscii(input)) {
            errors = V::orBits(errors, incomplete);
            incomplete = V::zero();
        } else {
            nonAscii = true;
            errors = V::orBits(errors, pairErrors<V>(input, previous));
            incomplete = endsInside<V>(input);
        }
        previous = input;
    };
    std::ptrdiff_t i = 0;
    // Most text has long ASCII runs: four chunks of them are passed at once.
    for (; i + 4 <= chunks; i += 4) {
        const unsigned char* at = data + i * V::width;
        const Vec c0 = V::load(at);
        const Vec c1 = V::load(at + V::width);
        const Vec c2 = V::load(at + 2 * V::width);
        const Vec c3 = V::load(at + 3 * V::width);
        if (V::isAscii(V::orBits(V::orBits(c0, c1), V::orBits(c2, c3)))) {
            errors = V::orBits(errors, incomplete);
            incomplete = V::zero();
            previous = c3;
            continue;
        }
        step(c0);
        step(c1);
        step(c2);
        step(c3);
    }
    for (; i < chunks; ++i)
        step(V::load(data + i * V::width));
    V::store(state.previous, previous);
    V::store(state.incomplete, incomplete);
    V::store(state.errors, errors);
    state.nonAscii = nonAscii;
}

} // namespace

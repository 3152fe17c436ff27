#pragma once

#include <cstddef>

// The UTF-8 check a chunk at a time, between calls: the last chunk, where it ended
// inside a sequence, the errors so far, and whether any byte was above ASCII. Room
// for the widest chunk.
struct Utf8ChunkState
{
    unsigned char previous[32] = {};
    unsigned char incomplete[32] = {};
    unsigned char errors[32] = {};
    bool nonAscii = false;
};

// `chunks` whole chunks of sixteen bytes (SSSE3) or thirty-two (AVX2). Each is built
// for its own instruction set: call one only where the processor has it.
void validateUtf8Chunks16(const unsigned char* data, std::ptrdiff_t chunks, Utf8ChunkState& state);
void validateUtf8Chunks32(const unsigned char* data, std::ptrdiff_t chunks, Utf8ChunkState& state);

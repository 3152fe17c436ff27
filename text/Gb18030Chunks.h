#pragma once

#include <cstddef>

// The GB18030 check sixty-four bytes at a time, for text of ASCII and two-byte
// characters, which is nearly all GBK text. Four-byte sequences, and bytes out of
// place, are left to the rule byte by byte (text/Gb18030Bytes.h).
//
// Checks `chunks` whole chunks from `data`, and returns how many it found valid before
// the first that holds a four-byte sequence or a byte out of place, which it leaves
// for the byte rule. `leadBefore` tells that the byte before the first chunk is a lead
// byte, whose trail opens it; it is kept up past the chunks checked.
//
// Built once for sixteen bytes a step (SSSE3), once for thirty-two (AVX2): call one
// only where the processor has it.
[[nodiscard]] std::ptrdiff_t checkGb18030Chunks16(const unsigned char* data, std::ptrdiff_t chunks,
                                                  bool& leadBefore);
[[nodiscard]] std::ptrdiff_t checkGb18030Chunks32(const unsigned char* data, std::ptrdiff_t chunks,
                                                  bool& leadBefore);

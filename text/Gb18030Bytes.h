#pragma once

// What each byte of GB18030 text may be: the one description of its sequences, for
// the detector, which checks text byte by byte, and the converter, which cuts text
// into characters. A character is one ASCII byte, two bytes (a lead, then a trail
// that is not a digit), or four (lead, digit, lead, digit). Inline: both use them on
// every byte of a file.
namespace gb18030 {

// The first byte of a two- or four-byte sequence, and the third of a four-byte one.
[[nodiscard]] constexpr bool isLead(unsigned char byte)
{
    return byte >= 0x81 && byte <= 0xFE;
}

// The second byte of a two-byte sequence.
[[nodiscard]] constexpr bool isTwoByteTrail(unsigned char byte)
{
    return byte >= 0x40 && byte <= 0xFE && byte != 0x7F;
}

// The second and the fourth byte of a four-byte sequence.
[[nodiscard]] constexpr bool isDigit(unsigned char byte)
{
    return byte >= 0x30 && byte <= 0x39;
}

// Whether the four-byte sequence at `bytes` (whose shape is right) stands for a
// character. Counted from 81 30 81 30, those up to 84 31 A4 39 stand for the rest of
// the Basic Multilingual Plane, those from 90 30 81 30 to E3 32 9A 35 for U+10000 to
// U+10FFFF; the others for nothing.
[[nodiscard]] constexpr bool isFourByteCharacter(const unsigned char* bytes)
{
    const int index =
        (((bytes[0] - 0x81) * 10 + (bytes[1] - 0x30)) * 126 + (bytes[2] - 0x81)) * 10 + (bytes[3] - 0x30);
    return index <= 39419 || (index >= 189000 && index <= 1237575);
}

} // namespace gb18030

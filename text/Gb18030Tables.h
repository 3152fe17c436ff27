#pragma once

// GB18030's mapping to Unicode, made at build time from the build machine's iconv
// (cmake/gb18030_tables.py), so that the program maps alike on every platform.
namespace gb18030 {

// The character of each two-byte sequence, at (lead - 0x81) * 191 + (trail - 0x40);
// 0 for none.
inline constexpr int twoByteCount = 126 * 191;
extern const char32_t twoByteCharacters[twoByteCount];

// A run of four-byte sequences, counted from 81 30 81 30, and characters of the
// Basic Multilingual Plane that count up together: from `first` to `last` of one,
// from `value` on of the other. The runs are sorted by `first`.
struct Run
{
    int first;
    int value;
    int last;
};
// Sequence to character, and character to sequence.
extern const Run fourByteDecodeRuns[];
extern const int fourByteDecodeRunsCount;
extern const Run fourByteEncodeRuns[];
extern const int fourByteEncodeRunsCount;

} // namespace gb18030

#pragma once

#include "text/CpuFeatures.h"
#include "text/Utf8Chunks.h"

#include <QtGlobal>

// What a byte that starts a UTF-8 sequence allows: how many continuation bytes
// follow, and the range the first of them lies in (narrower after E0, ED, F0 and F4,
// which would otherwise give overlong forms, surrogates, or more than U+10FFFF); no
// sequence where `following` is negative. The one description of UTF-8's sequences,
// for checking text and for decoding it. Inline: both use it on every character.
struct Utf8Lead
{
    int following;
    unsigned char low;
    unsigned char high;
};

[[nodiscard]] constexpr Utf8Lead utf8Lead(unsigned char byte)
{
    if (byte < 0x80)
        return {0, 0x80, 0xBF};
    if (byte >= 0xC2 && byte <= 0xDF)
        return {1, 0x80, 0xBF};
    if (byte >= 0xE0 && byte <= 0xEF)
        return {2, static_cast<unsigned char>(byte == 0xE0 ? 0xA0 : 0x80),
                static_cast<unsigned char>(byte == 0xED ? 0x9F : 0xBF)};
    if (byte >= 0xF0 && byte <= 0xF4)
        return {3, static_cast<unsigned char>(byte == 0xF0 ? 0x90 : 0x80),
                static_cast<unsigned char>(byte == 0xF4 ? 0x8F : 0xBF)};
    return {-1, 0, 0};
}

// Whether bytes, given block by block, are valid UTF-8 as a whole: no overlong
// forms, no surrogates, nothing past U+10FFFF, no sequence cut. The program's one
// UTF-8 rule, file names included. Thirty-two bytes at a time with AVX2 where the
// processor has it, else sixteen with SSSE3 (text/Utf8ChunkKernel.h), which keeps up
// with the copy on Chinese text; byte by byte elsewhere.
class Utf8Validator final
{
public:
    using Method = VectorMethod;

    // A method the processor lacks checks byte by byte.
    explicit Utf8Validator(Method method = Method::Fastest);
    [[nodiscard]] static bool isAvailable(Method method);

    void feed(const unsigned char* data, qsizetype size);
    // Invalid already, whatever follows.
    [[nodiscard]] bool failed() const;
    // Everything fed so far is valid UTF-8 and ends between characters.
    [[nodiscard]] bool valid() const;
    // Some byte fed so far is at or above 0x80.
    [[nodiscard]] bool sawNonAscii() const;

private:
    void feedBytes(const unsigned char* data, qsizetype size);
    void feedChunks(const unsigned char* data, qsizetype size);
    void validate(const unsigned char* data, qsizetype chunks);

    // Bytes checked at a time; 0 for byte by byte.
    qsizetype m_chunk = 0;
    bool m_failed = false;
    // Byte by byte: continuation bytes still due, and the range the next one must
    // lie in (narrower after some lead bytes).
    int m_due = 0;
    unsigned char m_low = 0x80;
    unsigned char m_high = 0xBF;
    // A chunk at a time (whether any byte was above ASCII, byte by byte too), and the
    // bytes that do not make a whole chunk yet.
    Utf8ChunkState m_chunks;
    unsigned char m_pending[32] = {};
    qsizetype m_pendingSize = 0;
};

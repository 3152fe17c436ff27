#pragma once

#include <QtGlobal>

// The encodings the merge tells apart by an input's bytes. Nothing is guessed beyond
// them: text that is neither valid UTF-8 nor valid GB18030 (which holds GBK) and has
// no byte-order mark is of an unknown encoding.
enum class TextEncoding
{
    // No byte at or above 0x80: it reads the same in any of the others but UTF-16.
    Ascii,
    Utf8,
    Utf16Le,
    Utf16Be,
    Gb18030,
    Unknown,
};

struct DetectedEncoding
{
    TextEncoding encoding = TextEncoding::Ascii;
    // The bytes of the byte-order mark the input starts with; 0 when it has none.
    qsizetype markSize = 0;
};

// Finds an input's encoding from its bytes, given block by block in their order, so
// that it never holds more than the block at hand. A byte-order mark decides by
// itself; otherwise the input is ASCII, else UTF-8 if it is valid UTF-8 as a whole,
// else GB18030 if it is valid GB18030 as a whole, else of unknown encoding.
class EncodingDetector final
{
public:
    void feed(const char* data, qsizetype size);
    // The encoding of everything fed so far, taken as the whole input.
    [[nodiscard]] DetectedEncoding result() const;

private:
    void feedUtf8(unsigned char byte);
    void feedGb18030(unsigned char byte);

    // The first bytes, for the byte-order mark.
    unsigned char m_start[3] = {};
    qsizetype m_size = 0;
    bool m_nonAscii = false;
    bool m_utf8Valid = true;
    // Continuation bytes still due in the current UTF-8 sequence, and the range the
    // next one must lie in (narrower after some lead bytes: no overlong forms, no
    // surrogates, nothing past U+10FFFF).
    int m_utf8Due = 0;
    unsigned char m_utf8Low = 0x80;
    unsigned char m_utf8High = 0xBF;
    bool m_gbValid = true;
    // Bytes of the current GB18030 sequence so far (0 between characters).
    int m_gbHave = 0;
    unsigned char m_gbBytes[4] = {};
};

#pragma once

#include "text/TextEncoding.h"
#include "text/Utf8Validator.h"

#include <optional>

// Finds an input's encoding from its bytes, given block by block in their order, so
// that it never holds more than the block at hand. A byte-order mark decides by
// itself, the text after a UTF-8 mark being checked for UTF-8; otherwise the input is
// ASCII, else UTF-8 if it is valid UTF-8 as a whole, else GB18030 if it is valid
// GB18030 as a whole, else of unknown encoding.
//
// Where the caller does not need GB18030 told from unknown bytes, the detector
// skips that check, which costs more than all the rest: text that is not UTF-8 is
// then taken for GB18030.
class EncodingDetector final
{
public:
    enum class Gb18030Check
    {
        Checked,
        Unchecked,
    };

    // `vectors` chooses how both checks go, UTF-8's and GB18030's.
    explicit EncodingDetector(Gb18030Check gb18030 = Gb18030Check::Checked,
                              VectorMethod vectors = VectorMethod::Fastest);

    void feed(const char* data, qsizetype size);
    // The encoding of everything fed so far, taken as the whole input.
    [[nodiscard]] DetectedEncoding result() const;
    // The same, taken as the start of the input: text after a UTF-8 mark counts as
    // valid until a byte proves it is not.
    [[nodiscard]] DetectedEncoding resultSoFar() const;
    // Whether result() stays as it is whatever more is fed, the end of the input
    // aside: text after a UTF-8 mark that ends inside a character is not valid.
    [[nodiscard]] bool isFinal() const;
    // Bytes above ASCII have come, and all of them are valid UTF-8 so far.
    [[nodiscard]] bool isUtf8SoFar() const;
    [[nodiscard]] qint64 bytesFed() const;

private:
    [[nodiscard]] std::optional<DetectedEncoding> marked() const;

    void feedGb18030(const unsigned char* bytes, qsizetype size);
    // Whole chunks of sixty-four bytes at a time, while they hold nothing but ASCII and
    // two-byte characters; returns how many bytes it checked.
    [[nodiscard]] qsizetype takeGb18030Chunks(const unsigned char* bytes, qsizetype size);
    // Byte by byte, from `from` to `to`; returns where it stopped.
    [[nodiscard]] qsizetype takeGb18030Bytes(const unsigned char* bytes, qsizetype from, qsizetype to);
    void takeGb18030(unsigned char byte);

    // The first bytes, for the byte-order mark.
    unsigned char m_start[3] = {};
    qsizetype m_size = 0;
    Utf8Validator m_utf8;
    bool m_gbChecked;
    bool m_gbValid = true;
    // Bytes a vector step of the GB18030 check takes; 0 for byte by byte.
    int m_gbWidth = 0;
    // Bytes of the current GB18030 sequence so far (0 between characters).
    int m_gbHave = 0;
    unsigned char m_gbBytes[4] = {};
};

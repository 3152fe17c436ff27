#pragma once

#include "text/CutCharacter.h"
#include "text/LineEnds.h"
#include "text/TextEncoding.h"

#include <QByteArray>

class Gb18030Codec;

// GB18030 into UTF-8, and UTF-8 into GB18030, with nothing between: a character at
// a time by GB18030's tables, and the line rule applied to the bytes written, which
// it may be since neither encoding has a CR or an LF inside a character. A UTF-8
// byte-order mark at the start is dropped. Same use as TextTranscoder, which hands
// these two on to it.
class ByteTranscoder final
{
public:
    // `from` is UTF-8 or GB18030; the output is in the other.
    ByteTranscoder(TextEncoding from, const Gb18030Codec& codec);

    [[nodiscard]] bool feed(QByteArrayView data, QByteArray& out);
    [[nodiscard]] bool finish(QByteArray& out);
    [[nodiscard]] bool cannotEncode() const;

private:
    // Converts the whole characters at the start of [in, in + size), appending them to
    // `text`, and returns how many bytes they took; -1 where the input is not valid
    // text, or a character has no form in the output's encoding.
    [[nodiscard]] qsizetype convert(const unsigned char* in, qsizetype size, QByteArray& text);
    [[nodiscard]] qsizetype fromGb18030(const unsigned char* in, qsizetype size, char*& out);
    [[nodiscard]] qsizetype fromUtf8(const unsigned char* in, qsizetype size, char*& out);
    [[nodiscard]] bool fail(bool cannotEncode);
    // Applies the line rule to the bytes of `out` from `from` on.
    void applyLineRule(QByteArray& out, qsizetype from);

    const bool m_fromUtf8;
    const Gb18030Codec& m_codec;
    // A block's converted text, set aside where the line rule adds to it.
    QByteArray m_text;
    CutCharacter m_cut;
    LineEndRule<char> m_lineEnds;
    bool m_atStart = true;
    bool m_failed = false;
    bool m_cannotEncode = false;
};

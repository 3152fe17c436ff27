#pragma once

#include "text/ByteTranscoder.h"
#include "text/CutCharacter.h"
#include "text/LineEnds.h"
#include "text/TextEncoding.h"

#include <QByteArray>
#include <QString>
#include <QStringDecoder>
#include <QStringEncoder>

#include <optional>

class Gb18030Codec;

// Qt's decoder, telling also whether the bytes so far end inside a character.
class UnicodeDecoder final : public QStringDecoder
{
public:
    using QStringDecoder::QStringDecoder;
    [[nodiscard]] bool isInsideCharacter() const;
};

// Turns one input's text from its encoding into the output's, with the merge's line
// rules applied to characters rather than bytes: CR LF, a CR alone and the end of
// the input end a line, and every line ends with CR LF in the output's encoding. The
// input's byte-order mark is dropped; the output's is the caller's. Bytes come
// block by block, and a character cut by the end of a block waits for the next one.
// ASCII input is read as UTF-8; input of unknown encoding cannot be turned. Between
// GB18030 and UTF-8 it goes byte to byte (ByteTranscoder); everything else by way of
// UTF-16.
class TextTranscoder final
{
public:
    TextTranscoder(TextEncoding from, TextEncoding to, Gb18030Codec& codec);

    // Appends the turned text of `data` to `out`; false once the input has proved
    // not to be text in its encoding (or not to fit the output's).
    [[nodiscard]] bool feed(QByteArrayView data, QByteArray& out);
    // Completes the input's last line; false when it ended inside a character.
    [[nodiscard]] bool finish(QByteArray& out);
    // After a failure: the input was text, but a character of it has no form in the
    // output's encoding (with glibc, the private-use characters that GB18030-2022
    // gave up). A surrogate without its other half is no text at all.
    [[nodiscard]] bool cannotEncode() const;

private:
    [[nodiscard]] bool decode(QByteArrayView data, QString& text);
    [[nodiscard]] bool decodeGb18030(QByteArrayView data, QString& text);
    [[nodiscard]] bool pairsSurrogates(QStringView text);
    void applyLineRule(QStringView text, QString& lines);
    [[nodiscard]] bool encode(QStringView lines, QByteArray& out);

    std::optional<ByteTranscoder> m_byteToByte;
    const TextEncoding m_from;
    const TextEncoding m_to;
    Gb18030Codec& m_codec;
    UnicodeDecoder m_decoder;
    QStringEncoder m_encoder;
    // The decoded text of a block, and the same with the line rules applied.
    QString m_text;
    QString m_lines;
    // A GB18030 character that the last block cut.
    CutCharacter m_cut;
    // A high surrogate whose low half has not come yet, decoded, and waiting to be encoded.
    bool m_highSurrogateWaits = false;
    QString m_pendingHalf;
    LineEndRule<char16_t> m_lineEnds;
    bool m_failed = false;
    bool m_cannotEncode = false;
};

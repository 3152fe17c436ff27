#pragma once

#include <QByteArray>
#include <QString>

#include <optional>
#include <utility>
#include <vector>

// GB18030 text to and from Unicode, by tables made at build time from the build
// machine's iconv (text/Gb18030Tables.h), the same on every platform: one- and
// two-byte sequences by table, four-byte ones by the runs in which sequences and
// characters count up together, those beyond the plane by arithmetic. Qt converts
// GB18030 only where it was built with ICU, which the Windows build is not; the
// program's contents and file names both go through this one converter.
class Gb18030Codec final
{
public:
    // Builds the table from characters to sequences.
    Gb18030Codec();
    ~Gb18030Codec();
    Q_DISABLE_COPY_MOVE(Gb18030Codec)

    // One sequence at `bytes`, of `size` bytes: its character and its length, 1, 2 or
    // 4; length 0 where the bytes end inside the sequence, -1 where it is not valid.
    struct Decoded
    {
        char32_t character;
        int length;
    };
    [[nodiscard]] static Decoded decodeOne(const unsigned char* bytes, qsizetype size);
    // Writes the sequence of `character` to `out` (room for four bytes) and returns
    // its length; 0 where GB18030 has none (a surrogate; the private-use characters
    // that GB18030-2022 gave up).
    [[nodiscard]] int encodeOne(char32_t character, char* out) const;

    // The whole of `bytes` as text; nullopt for input that is not valid text.
    [[nodiscard]] static std::optional<QString> decode(QByteArrayView bytes);
    // Appends to `text` the characters of `bytes` up to a sequence that their end
    // cuts, and returns how many bytes that took; -1 for input that is not valid text.
    [[nodiscard]] static qsizetype decodePart(QByteArrayView bytes, QString& text);
    // Appends the bytes of `text` to `bytes`; false for text that cannot be encoded.
    [[nodiscard]] bool encodeAppend(QStringView text, QByteArray& bytes) const;

    // Tables for converters that go a character at a time, which look them up for
    // every one. The two-byte sequence of each character of the plane, lead byte
    // high; 0 for none.
    [[nodiscard]] const quint16* twoBytesOfPlane() const;
    // The UTF-8 of each two-byte sequence, at (lead - 0x81) * 191 + (trail - 0x40): its
    // bytes from the low end, its length in the high byte; 0 for none.
    [[nodiscard]] const quint32* utf8OfTwoBytes() const;

private:
    // The two-byte sequence of each character of the plane, lead byte high; 0 for none.
    std::vector<quint16> m_twoBytes;
    std::vector<quint32> m_utf8OfTwoBytes;
    // The few characters beyond the plane that two bytes stand for, by character.
    std::vector<std::pair<char32_t, quint16>> m_supplementaryTwoBytes;
};

#pragma once

#include <QByteArray>
#include <QString>

#include <memory>
#include <optional>
#include <vector>

// GB18030 text to and from UTF-16, through the platform's own converter: iconv on
// POSIX systems, code page 54936 on Windows. Qt converts UTF-8 and UTF-16 itself,
// and GB18030 only where it was built with ICU, which the Windows build is not: the
// program's contents and file names both go through this one converter. Both
// directions take whole characters, so the caller cuts text only between them, and
// both refuse input that is not valid text, and any text where the platform has no
// converter.
//
// The platform's converter is slow for a whole file: for decodePart() and
// encodeAppend(), the one- and two-byte characters, and those of the Basic
// Multilingual Plane, go through tables that it fills once, on first use; the rest
// goes through it. decode() is for short texts such as file names, for which
// filling the tables would cost more than it saves.
class Gb18030Codec final
{
public:
    Gb18030Codec();
    ~Gb18030Codec();
    Q_DISABLE_COPY_MOVE(Gb18030Codec)

    // Whether the platform converts GB18030 at all (Wine 8 has no code page 54936).
    [[nodiscard]] bool isAvailable() const;
    // The whole of `bytes` as text; nullopt for input that is not valid text.
    [[nodiscard]] std::optional<QString> decode(QByteArrayView bytes);
    // Appends to `text` the characters of `bytes` up to a sequence that their end
    // cuts, and returns how many bytes that took; -1 for input that is not valid text.
    [[nodiscard]] qsizetype decodePart(QByteArrayView bytes, QString& text);
    // Appends the bytes of `text` to `bytes`; false for text that cannot be encoded.
    [[nodiscard]] bool encodeAppend(QStringView text, QByteArray& bytes);

private:
    [[nodiscard]] std::optional<QString> platformDecode(QByteArrayView bytes);
    [[nodiscard]] std::optional<QByteArray> platformEncode(QStringView text);
    [[nodiscard]] qsizetype decodeSequences(QByteArrayView bytes, QString& text, bool tables);
    void fillDecodeTable();
    void fillEncodeTable();

    struct Converters;
    std::unique_ptr<Converters> m_converters;
    bool m_available = false;
    // The character of each two-byte sequence, by (lead - 0x81) * 191 + (trail - 0x40);
    // 0 for none.
    std::vector<char16_t> m_twoBytes;
    // The sequence of each character of the plane, its bytes from the high end: two
    // bytes up to 0xFFFF, four above; 0 for none.
    std::vector<quint32> m_sequences;
};

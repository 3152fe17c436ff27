#include "merge/TextTranscoder.h"

#include "merge/Gb18030Codec.h"

#include <utility>

namespace {

QStringConverter::Encoding unicodeEncoding(TextEncoding encoding)
{
    switch (encoding) {
    case TextEncoding::Utf16Le:
        return QStringConverter::Utf16LE;
    case TextEncoding::Utf16Be:
        return QStringConverter::Utf16BE;
    default:
        return QStringConverter::Utf8;
    }
}

// The bytes of [data, data + size) that make whole GB18030 characters, counted
// from a character's start.
qsizetype wholeGb18030Characters(const char* data, qsizetype size)
{
    qsizetype whole = 0;
    while (whole < size) {
        const auto lead = static_cast<unsigned char>(data[whole]);
        qsizetype length = 1;
        if (lead >= 0x80) {
            if (whole + 1 >= size)
                break;
            const auto second = static_cast<unsigned char>(data[whole + 1]);
            length = second >= 0x30 && second <= 0x39 ? 4 : 2;
        }
        if (whole + length > size)
            break;
        whole += length;
    }
    return whole;
}

} // namespace

bool UnicodeDecoder::isInsideCharacter() const
{
    return state.remainingChars != 0;
}

TextTranscoder::TextTranscoder(TextEncoding from, TextEncoding to, Gb18030Codec& codec)
    : m_from(from), m_to(to), m_codec(codec), m_decoder(unicodeEncoding(from)), m_encoder(unicodeEncoding(to))
{
    m_failed = from == TextEncoding::Unknown || to == TextEncoding::Unknown;
}

bool TextTranscoder::feed(QByteArrayView data, QByteArray& out)
{
    QString text;
    QString lines;
    if (!m_failed) {
        m_failed = !decode(data, text);
        if (!m_failed) {
            applyLineRules(text, lines);
            m_failed = !encode(lines, out);
        }
    }
    return !m_failed;
}

bool TextTranscoder::finish(QByteArray& out)
{
    if (m_failed || !m_pendingBytes.isEmpty() || !m_pendingHalf.isEmpty() || m_decoder.isInsideCharacter())
        return false;
    QString lines;
    if (m_pendingCr)
        lines.append(u'\n');
    else if (m_lineOpen)
        lines.append(u"\r\n");
    m_pendingCr = false;
    m_lineOpen = false;
    return encode(lines, out);
}

bool TextTranscoder::decode(QByteArrayView data, QString& text)
{
    if (m_from == TextEncoding::Gb18030)
        return decodeGb18030(data, text);
    // The decoder keeps a character that a block cut for the next one, and drops a
    // byte-order mark at the start.
    text = m_decoder.decode(data);
    return !m_decoder.hasError();
}

bool TextTranscoder::decodeGb18030(QByteArrayView data, QString& text)
{
    m_pendingBytes.append(data.data(), data.size());
    const qsizetype whole = wholeGb18030Characters(m_pendingBytes.constData(), m_pendingBytes.size());
    const std::optional<QString> decoded = m_codec.decode(QByteArrayView(m_pendingBytes).first(whole));
    if (!decoded)
        return false;
    text = *decoded;
    m_pendingBytes.remove(0, whole);
    return true;
}

void TextTranscoder::applyLineRules(QStringView text, QString& lines)
{
    lines.reserve(m_pendingHalf.size() + text.size() + text.size() / 8 + 2);
    lines.append(std::exchange(m_pendingHalf, {}));
    for (const QChar c : text) {
        if (m_pendingCr) {
            m_pendingCr = false;
            m_lineOpen = false;
            lines.append(u'\n');
            if (c == u'\n')
                continue;
        }
        lines.append(c);
        m_pendingCr = c == u'\r';
        // Anything but the CR of a line end leaves the line open, an LF alone too.
        m_lineOpen = !m_pendingCr;
    }
    // Encoders take whole characters.
    if (!lines.isEmpty() && lines.back().isHighSurrogate()) {
        m_pendingHalf = lines.back();
        lines.chop(1);
    }
}

bool TextTranscoder::encode(QStringView lines, QByteArray& out)
{
    if (m_to == TextEncoding::Gb18030) {
        const std::optional<QByteArray> bytes = m_codec.encode(lines);
        if (!bytes)
            return false;
        out.append(*bytes);
        return true;
    }
    out.append(m_encoder.encode(lines));
    return !m_encoder.hasError();
}

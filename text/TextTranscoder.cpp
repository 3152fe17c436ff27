#include "text/TextTranscoder.h"

#include "text/Gb18030Codec.h"

#include <algorithm>
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

} // namespace

bool UnicodeDecoder::isInsideCharacter() const
{
    return state.remainingChars != 0;
}

TextTranscoder::TextTranscoder(TextEncoding from, TextEncoding to, Gb18030Codec& codec)
    : m_from(from), m_to(to), m_codec(codec), m_decoder(unicodeEncoding(from)), m_encoder(unicodeEncoding(to))
{
    m_failed = from == TextEncoding::Unknown || to == TextEncoding::Unknown;
    const auto isByteText = [](TextEncoding e) {
        return e == TextEncoding::Utf8 || e == TextEncoding::Gb18030;
    };
    if (isByteText(from) && isByteText(to) && from != to)
        m_byteToByte.emplace(from, codec);
}

bool TextTranscoder::feed(QByteArrayView data, QByteArray& out)
{
    if (m_byteToByte)
        return m_byteToByte->feed(data, out);
    // The two buffers keep their room from block to block.
    m_text.resize(0);
    m_lines.resize(0);
    if (!m_failed) {
        m_failed = !decode(data, m_text);
        if (!m_failed) {
            applyLineRule(m_text, m_lines);
            m_cannotEncode = !encode(m_lines, out);
            m_failed = m_cannotEncode;
        }
    }
    return !m_failed;
}

bool TextTranscoder::finish(QByteArray& out)
{
    if (m_byteToByte)
        return m_byteToByte->finish(out);
    if (m_failed || !m_cut.isEmpty() || m_highSurrogateWaits || m_decoder.isInsideCharacter())
        return false;
    const std::u16string_view end = m_lineEnds.finish();
    const QStringView lines(end.data(), qsizetype(end.size()));
    m_cannotEncode = !encode(lines, out);
    return !m_cannotEncode;
}

bool TextTranscoder::cannotEncode() const
{
    if (m_byteToByte)
        return m_byteToByte->cannotEncode();
    return m_cannotEncode;
}

bool TextTranscoder::decode(QByteArrayView data, QString& text)
{
    if (m_from == TextEncoding::Gb18030)
        return decodeGb18030(data, text);
    // The decoder keeps a character that a block cut for the next one, and drops a
    // byte-order mark at the start.
    text.resize(m_decoder.requiredSpace(data.size()));
    const QChar* const end = m_decoder.appendToBuffer(text.data(), data);
    text.truncate(end - text.constData());
    const bool utf16 = m_from == TextEncoding::Utf16Le || m_from == TextEncoding::Utf16Be;
    return !m_decoder.hasError() && (!utf16 || pairsSurrogates(text));
}

// UTF-16's decoder passes a surrogate without its other half, which is no
// character: such text is refused here, whatever the output's encoding could make of
// it. A high surrogate at the end of the text waits for the next block.
bool TextTranscoder::pairsSurrogates(QStringView text)
{
    for (const QChar unit : text) {
        if (std::exchange(m_highSurrogateWaits, false)) {
            if (!unit.isLowSurrogate())
                return false;
        } else if (unit.isHighSurrogate()) {
            m_highSurrogateWaits = true;
        } else if (unit.isLowSurrogate()) {
            return false;
        }
    }
    return true;
}

bool TextTranscoder::decodeGb18030(QByteArrayView data, QString& text)
{
    return m_cut.feed(data, [this, &text](QByteArrayView bytes) { return m_codec.decodePart(bytes, text); });
}

void TextTranscoder::applyLineRule(QStringView text, QString& lines)
{
    lines.resize(m_pendingHalf.size() + 1 + 2 * text.size() + lineEndSlack);
    char16_t* const first = reinterpret_cast<char16_t*>(lines.data());
    char16_t* out = std::copy(m_pendingHalf.utf16(), m_pendingHalf.utf16() + m_pendingHalf.size(), first);
    m_pendingHalf.clear();
    out = m_lineEnds.write(text.utf16(), text.utf16() + text.size(), out);
    lines.truncate(out - first);
    // Encoders take whole characters.
    if (!lines.isEmpty() && lines.back().isHighSurrogate()) {
        m_pendingHalf = lines.back();
        lines.chop(1);
    }
}

bool TextTranscoder::encode(QStringView lines, QByteArray& out)
{
    if (m_to == TextEncoding::Gb18030)
        return m_codec.encodeAppend(lines, out);
    const qsizetype used = out.size();
    out.resize(used + m_encoder.requiredSpace(lines.size()));
    char* const end = m_encoder.appendToBuffer(out.data() + used, lines);
    out.truncate(end - out.constData());
    return !m_encoder.hasError();
}

#include "text/Gb18030Codec.h"

#include "text/Gb18030Bytes.h"

namespace {

constexpr int trailCount = 0xFF - 0x40;

// The four bytes at `bytes`, whose second is a digit, make a character.
bool isFourByteSequence(const unsigned char* bytes)
{
    return gb18030::isLead(bytes[2]) && gb18030::isDigit(bytes[3]) && gb18030::isFourByteCharacter(bytes);
}

} // namespace

void Gb18030Codec::fillDecodeTable()
{
    m_twoBytes.assign(size_t(0xFE - 0x81 + 1) * trailCount, 0);
    for (int lead = 0x81; lead <= 0xFE; ++lead) {
        for (int trail = 0x40; trail <= 0xFE; ++trail) {
            const char pair[2] = {char(lead), char(trail)};
            const std::optional<QString> text = platformDecode(QByteArrayView(pair, 2));
            if (gb18030::isTwoByteTrail(trail) && text && text->size() == 1)
                m_twoBytes[size_t((lead - 0x81) * trailCount + (trail - 0x40))] = text->front().unicode();
        }
    }
}

void Gb18030Codec::fillEncodeTable()
{
    m_sequences.assign(0x10000, 0);
    for (char32_t c = 0x80; c <= 0xFFFF; ++c) {
        if (c >= 0xD800 && c <= 0xDFFF)
            continue;
        const char16_t unit = char16_t(c);
        const std::optional<QByteArray> bytes = platformEncode(QStringView(&unit, 1));
        if (!bytes || (bytes->size() != 2 && bytes->size() != 4))
            continue;
        quint32 sequence = 0;
        for (const char byte : *bytes)
            sequence = sequence << 8 | static_cast<unsigned char>(byte);
        m_sequences[c] = sequence;
    }
}

bool Gb18030Codec::isAvailable() const
{
    return m_available;
}

std::optional<QString> Gb18030Codec::decode(QByteArrayView bytes)
{
    QString text;
    if (decodeSequences(bytes, text, false) != bytes.size())
        return std::nullopt;
    return text;
}

qsizetype Gb18030Codec::decodePart(QByteArrayView bytes, QString& text)
{
    return decodeSequences(bytes, text, true);
}

qsizetype Gb18030Codec::decodeSequences(QByteArrayView bytes, QString& text, bool tables)
{
    if (!m_available)
        return -1;
    if (tables && m_twoBytes.empty())
        fillDecodeTable();
    const auto* in = reinterpret_cast<const unsigned char*>(bytes.data());
    const qsizetype size = bytes.size();
    const qsizetype start = text.size();
    // A character takes at least as many bytes as UTF-16 units.
    text.resize(start + size);
    char16_t* const first = reinterpret_cast<char16_t*>(text.data());
    char16_t* out = first + start;
    qsizetype i = 0;
    while (i < size) {
        const unsigned char lead = in[i];
        if (lead < 0x80) {
            *out++ = lead;
            ++i;
            continue;
        }
        if (!gb18030::isLead(lead))
            return -1;
        if (i + 1 == size)
            break;
        const unsigned char trail = in[i + 1];
        const char16_t unit = tables && gb18030::isTwoByteTrail(trail)
                                  ? m_twoBytes[size_t((lead - 0x81) * trailCount + (trail - 0x40))]
                                  : 0;
        if (unit != 0) {
            *out++ = unit;
            i += 2;
            continue;
        }
        // Four-byte sequences, the few two-byte ones beyond the plane, and without
        // the tables all of them.
        const qsizetype length = gb18030::isDigit(trail) ? 4 : 2;
        if (i + length > size)
            break;
        if (length == 2 ? !gb18030::isTwoByteTrail(trail) : !isFourByteSequence(in + i))
            return -1;
        const std::optional<QString> other = platformDecode(bytes.sliced(i, length));
        if (!other || other->size() > length)
            return -1;
        out = std::copy(other->utf16(), other->utf16() + other->size(), out);
        i += length;
    }
    text.truncate(out - first);
    return i;
}

bool Gb18030Codec::encodeAppend(QStringView text, QByteArray& bytes)
{
    if (!m_available)
        return false;
    if (m_sequences.empty())
        fillEncodeTable();
    const qsizetype start = bytes.size();
    // Four bytes at most per UTF-16 unit.
    bytes.resize(start + text.size() * 4);
    char* out = bytes.data() + start;
    const char16_t* in = text.utf16();
    const qsizetype size = text.size();
    for (qsizetype i = 0; i < size; ++i) {
        const char16_t unit = in[i];
        if (unit < 0x80) {
            *out++ = char(unit);
            continue;
        }
        quint32 sequence = m_sequences[unit];
        if (sequence == 0) {
            // A character beyond the plane, or one the table could not take.
            const qsizetype units = QChar::isHighSurrogate(unit) && i + 1 < size ? 2 : 1;
            const std::optional<QByteArray> other = platformEncode(text.sliced(i, units));
            if (!other)
                return false;
            out = std::copy(other->cbegin(), other->cend(), out);
            i += units - 1;
            continue;
        }
        if (sequence > 0xFFFF) {
            *out++ = char(sequence >> 24);
            *out++ = char(sequence >> 16);
        }
        *out++ = char(sequence >> 8);
        *out++ = char(sequence);
    }
    bytes.truncate(out - bytes.constData());
    return true;
}

#include "text/Gb18030Codec.h"

#include "text/Gb18030Bytes.h"
#include "text/Gb18030Tables.h"

#include <algorithm>

namespace {

constexpr int trailCount = 0xFF - 0x40;
// Four-byte sequences from here on stand for U+10000 and up, one after the other.
constexpr int firstSupplementaryIndex = 189000;

int fourByteIndex(const unsigned char* bytes)
{
    return (((bytes[0] - 0x81) * 10 + (bytes[1] - 0x30)) * 126 + (bytes[2] - 0x81)) * 10 + (bytes[3] - 0x30);
}

void writeFourBytes(int index, char* out)
{
    out[3] = char(0x30 + index % 10);
    index /= 10;
    out[2] = char(0x81 + index % 126);
    index /= 126;
    out[1] = char(0x30 + index % 10);
    out[0] = char(0x81 + index / 10);
}

// The UTF-8 of a character of the plane, packed for utf8OfTwoBytes(); 0 beyond it,
// whose four bytes leave no room for the length.
quint32 packedUtf8(char32_t c)
{
    if (c < 0x800)
        return 2u << 24 | (0x80 | (c & 0x3F)) << 8 | (0xC0 | c >> 6);
    if (c < 0x10000)
        return 3u << 24 | (0x80 | (c & 0x3F)) << 16 | (0x80 | (c >> 6 & 0x3F)) << 8 | (0xE0 | c >> 12);
    return 0;
}

// The run of `key`, or -1 where none holds it.
int runValue(const gb18030::Run* runs, int count, int key)
{
    const gb18030::Run* const end = runs + count;
    const gb18030::Run* run =
        std::upper_bound(runs, end, key, [](int k, const gb18030::Run& r) { return k < r.first; });
    if (run == runs || key > (--run)->last)
        return -1;
    return run->value + (key - run->first);
}

} // namespace

Gb18030Codec::Gb18030Codec() : m_twoBytes(0x10000, 0), m_utf8OfTwoBytes(gb18030::twoByteCount, 0)
{
    for (int i = 0; i < gb18030::twoByteCount; ++i) {
        const char32_t character = gb18030::twoByteCharacters[i];
        if (character == 0)
            continue;
        m_utf8OfTwoBytes[size_t(i)] = packedUtf8(character);
        const auto sequence = quint16((0x81 + i / trailCount) << 8 | (0x40 + i % trailCount));
        if (character < 0x10000)
            m_twoBytes[character] = sequence;
        else
            m_supplementaryTwoBytes.emplace_back(character, sequence);
    }
    std::sort(m_supplementaryTwoBytes.begin(), m_supplementaryTwoBytes.end());
}

Gb18030Codec::~Gb18030Codec() = default;

const quint16* Gb18030Codec::twoBytesOfPlane() const
{
    return m_twoBytes.data();
}

const quint32* Gb18030Codec::utf8OfTwoBytes() const
{
    return m_utf8OfTwoBytes.data();
}

Gb18030Codec::Decoded Gb18030Codec::decodeOne(const unsigned char* bytes, qsizetype size)
{
    const unsigned char lead = bytes[0];
    if (lead < 0x80)
        return {lead, 1};
    if (!gb18030::isLead(lead))
        return {0, -1};
    if (size < 2)
        return {0, 0};
    const unsigned char trail = bytes[1];
    if (gb18030::isTwoByteTrail(trail)) {
        const char32_t character = gb18030::twoByteCharacters[(lead - 0x81) * trailCount + (trail - 0x40)];
        return {character, character == 0 ? -1 : 2};
    }
    if (!gb18030::isDigit(trail))
        return {0, -1};
    if (size < 4)
        return {0, size >= 3 && !gb18030::isLead(bytes[2]) ? -1 : 0};
    if (!gb18030::isLead(bytes[2]) || !gb18030::isDigit(bytes[3]) || !gb18030::isFourByteCharacter(bytes))
        return {0, -1};
    const int index = fourByteIndex(bytes);
    if (index >= firstSupplementaryIndex)
        return {char32_t(0x10000 + index - firstSupplementaryIndex), 4};
    const int character = runValue(gb18030::fourByteDecodeRuns, gb18030::fourByteDecodeRunsCount, index);
    return {char32_t(character < 0 ? 0 : character), character < 0 ? -1 : 4};
}

int Gb18030Codec::encodeOne(char32_t character, char* out) const
{
    if (character < 0x80) {
        out[0] = char(character);
        return 1;
    }
    quint16 twoBytes = 0;
    if (character < 0x10000) {
        twoBytes = m_twoBytes[character];
    } else {
        const auto found = std::lower_bound(m_supplementaryTwoBytes.cbegin(), m_supplementaryTwoBytes.cend(),
                                            std::pair<char32_t, quint16>(character, 0));
        if (found != m_supplementaryTwoBytes.cend() && found->first == character)
            twoBytes = found->second;
    }
    if (twoBytes != 0) {
        out[0] = char(twoBytes >> 8);
        out[1] = char(twoBytes);
        return 2;
    }
    if (character > 0x10FFFF || (character >= 0xD800 && character <= 0xDFFF))
        return 0;
    const int index = character >= 0x10000 ? int(character - 0x10000) + firstSupplementaryIndex
                                           : runValue(gb18030::fourByteEncodeRuns,
                                                      gb18030::fourByteEncodeRunsCount, int(character));
    if (index < 0)
        return 0;
    writeFourBytes(index, out);
    return 4;
}

std::optional<QString> Gb18030Codec::decode(QByteArrayView bytes)
{
    QString text;
    if (decodePart(bytes, text) != bytes.size())
        return std::nullopt;
    return text;
}

qsizetype Gb18030Codec::decodePart(QByteArrayView bytes, QString& text)
{
    const auto* in = reinterpret_cast<const unsigned char*>(bytes.data());
    const qsizetype size = bytes.size();
    const qsizetype start = text.size();
    // A character takes at least as many bytes as UTF-16 units.
    text.resize(start + size);
    char16_t* const first = reinterpret_cast<char16_t*>(text.data());
    char16_t* out = first + start;
    qsizetype i = 0;
    while (i < size) {
        const Decoded decoded = decodeOne(in + i, size - i);
        if (decoded.length < 0)
            return -1;
        if (decoded.length == 0)
            break;
        if (decoded.character >= 0x10000) {
            *out++ = QChar::highSurrogate(decoded.character);
            *out++ = QChar::lowSurrogate(decoded.character);
        } else {
            *out++ = char16_t(decoded.character);
        }
        i += decoded.length;
    }
    text.truncate(out - first);
    return i;
}

bool Gb18030Codec::encodeAppend(QStringView text, QByteArray& bytes) const
{
    const qsizetype start = bytes.size();
    // Four bytes at most per UTF-16 unit.
    bytes.resize(start + text.size() * 4);
    char* out = bytes.data() + start;
    const char16_t* in = text.utf16();
    const qsizetype size = text.size();
    for (qsizetype i = 0; i < size; ++i) {
        char32_t character = in[i];
        if (QChar::isHighSurrogate(character) && i + 1 < size && QChar::isLowSurrogate(in[i + 1]))
            character = QChar::surrogateToUcs4(char16_t(character), in[++i]);
        const int length = encodeOne(character, out);
        if (length == 0)
            return false;
        out += length;
    }
    bytes.truncate(out - bytes.constData());
    return true;
}

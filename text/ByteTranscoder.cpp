#include "text/ByteTranscoder.h"

#include "text/Gb18030Bytes.h"
#include "text/Gb18030Codec.h"
#include "text/Utf8Validator.h"

#include <QScopeGuard>
#include <QtEndian>

#include <algorithm>
#include <cstring>

namespace {

// Copies the ASCII bytes at `from` to `out`, eight at a time where it can, and
// returns how many there were. `out` has room for eight bytes more than it gets.
inline qsizetype copyAscii(const unsigned char* from, qsizetype size, char*& out)
{
    qsizetype count = 0;
    for (; size - count >= 8; count += 8) {
        const auto word = qFromUnaligned<quint64>(from + count);
        if ((word & 0x8080808080808080ULL) != 0)
            break;
        qToUnaligned(word, out);
        out += 8;
    }
    for (; count < size && from[count] < 0x80; ++count)
        *out++ = char(from[count]);
    return count;
}

// A run of GB18030 pairs whose UTF-8 is three bytes, from the table: returns the bytes
// it took. Each goes out four bytes at a time; the next overwrites the fourth.
inline qsizetype threeByteRun(const quint32* utf8, const unsigned char* in, qsizetype size, char*& written)
{
    char* out = written;
    qsizetype i = 0;
    for (; size - i >= 2; i += 2, out += 3) {
        const unsigned lead = in[i] - 0x81u;
        const unsigned trail = in[i + 1] - 0x40u;
        const quint32 packed = lead < 126u && trail < 191u ? utf8[lead * 191 + trail] : 0;
        if ((packed >> 24) != 3)
            break;
        qToUnaligned(qToLittleEndian(packed), out);
    }
    written = out;
    return i;
}

// A run of three-byte UTF-8 characters that GB18030 writes in two bytes: returns the
// bytes it took. Four bytes are read at a time, the fourth the next one's.
inline qsizetype twoByteRun(const quint16* gb18030, const unsigned char* in, qsizetype size, char*& written)
{
    char* out = written;
    qsizetype i = 0;
    for (; size - i >= 4; i += 3, out += 2) {
        const auto word = qFromLittleEndian<quint32>(in + i);
        if ((word & 0xC0C0F0u) != 0x8080E0u)
            break;
        const auto c = char16_t((word & 0x0F) << 12 | (word & 0x3F00) >> 2 | (word & 0x3F0000) >> 16);
        // The overlong forms and the surrogates three bytes could give are no characters.
        const quint16 sequence = c >= 0x800 && (c & 0xF800) != 0xD800 ? gb18030[c] : 0;
        if (sequence == 0)
            break;
        qToUnaligned(qToBigEndian(sequence), out);
    }
    written = out;
    return i;
}

char* writeUtf8(char32_t c, char* out)
{
    if (c < 0x80) {
        *out++ = char(c);
    } else if (c < 0x800) {
        *out++ = char(0xC0 | (c >> 6));
        *out++ = char(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        *out++ = char(0xE0 | (c >> 12));
        *out++ = char(0x80 | ((c >> 6) & 0x3F));
        *out++ = char(0x80 | (c & 0x3F));
    } else {
        *out++ = char(0xF0 | (c >> 18));
        *out++ = char(0x80 | ((c >> 12) & 0x3F));
        *out++ = char(0x80 | ((c >> 6) & 0x3F));
        *out++ = char(0x80 | (c & 0x3F));
    }
    return out;
}

// The UTF-8 sequence at `in`: its length, 0 where the bytes end inside it, -1 where
// it is not valid; its character through `c`.
int readUtf8(const unsigned char* in, qsizetype size, char32_t& c)
{
    const Utf8Lead lead = utf8Lead(in[0]);
    if (lead.following < 0)
        return -1;
    c = lead.following == 0 ? in[0] : in[0] & (0x3F >> lead.following);
    for (int i = 1; i <= lead.following; ++i) {
        if (i == size)
            return 0;
        const unsigned char byte = in[i];
        if (byte < (i == 1 ? lead.low : 0x80) || byte > (i == 1 ? lead.high : 0xBF))
            return -1;
        c = (c << 6) | (byte & 0x3F);
    }
    return lead.following + 1;
}

} // namespace

ByteTranscoder::ByteTranscoder(TextEncoding from, const Gb18030Codec& codec)
    : m_fromUtf8(from == TextEncoding::Utf8), m_codec(codec)
{}

bool ByteTranscoder::feed(QByteArrayView data, QByteArray& out)
{
    if (m_failed)
        return false;
    const qsizetype start = out.size();
    const auto convertWhole = [this, &out](QByteArrayView bytes) {
        return convert(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size(), out);
    };
    if (!m_cut.feed(data, convertWhole)) {
        out.truncate(start);
        return m_failed ? false : fail(false);
    }
    applyLineRule(out, start);
    return true;
}

bool ByteTranscoder::finish(QByteArray& out)
{
    if (m_failed || !m_cut.isEmpty())
        return false;
    const std::string_view end = m_lineEnds.finish();
    out.append(end.data(), qsizetype(end.size()));
    return true;
}

bool ByteTranscoder::cannotEncode() const
{
    return m_cannotEncode;
}

bool ByteTranscoder::fail(bool cannotEncode)
{
    m_failed = true;
    m_cannotEncode = cannotEncode;
    return false;
}

qsizetype ByteTranscoder::convert(const unsigned char* in, qsizetype size, QByteArray& text)
{
    const qsizetype start = text.size();
    // Two bytes out for each in, at the most: a GB18030 pair is at most four bytes of
    // UTF-8, a UTF-8 character of three at most four of GB18030; and room for the
    // whole words written past the end.
    text.resize(start + 2 * size + 8);
    char* out = text.data() + start;
    const qsizetype whole = m_fromUtf8 ? fromUtf8(in, size, out) : fromGb18030(in, size, out);
    text.truncate(whole < 0 ? start : out - text.constData());
    return whole;
}

qsizetype ByteTranscoder::fromGb18030(const unsigned char* in, qsizetype size, char*& written)
{
    // Held here, not read through members: a write of a char may alias anything.
    char* out = written;
    const auto done = qScopeGuard([&] { written = out; });
    const quint32* const utf8 = m_codec.utf8OfTwoBytes();
    qsizetype i = 0;
    while (i < size) {
        if (in[i] < 0x80) {
            i += copyAscii(in + i, size - i, out);
            continue;
        }
        // Most characters are two bytes of the plane: their UTF-8 comes from a table,
        // whose slot for a trail of 7F is empty. The bytes of one are written four at
        // a time, the next one's writing over what is not this one's. Chinese text is
        // runs of such pairs that become three bytes each: there the next write's place
        // does not wait for the table.
        i += threeByteRun(utf8, in + i, size - i, out);
        if (i == size)
            break;
        if (i + 1 < size) {
            const unsigned lead = in[i] - 0x81u;
            const unsigned trail = in[i + 1] - 0x40u;
            const quint32 packed = lead < 126u && trail < 191u ? utf8[lead * 191 + trail] : 0;
            if (packed != 0) {
                qToUnaligned(qToLittleEndian(packed), out);
                out += packed >> 24;
                i += 2;
                continue;
            }
        }
        const Gb18030Codec::Decoded decoded = Gb18030Codec::decodeOne(in + i, size - i);
        if (decoded.length < 0) {
            (void)fail(false);
            return -1;
        }
        if (decoded.length == 0)
            break;
        out = writeUtf8(decoded.character, out);
        i += decoded.length;
    }
    return i;
}

qsizetype ByteTranscoder::fromUtf8(const unsigned char* in, qsizetype size, char*& written)
{
    char* out = written;
    const auto done = qScopeGuard([&] { written = out; });
    const quint16* const gb18030 = m_codec.twoBytesOfPlane();
    qsizetype i = 0;
    // The byte-order mark of the input is none of the output's.
    if (m_atStart) {
        static constexpr unsigned char mark[] = {0xEF, 0xBB, 0xBF};
        const qsizetype seen = std::min<qsizetype>(size, 3);
        if (std::equal(in, in + seen, mark)) {
            if (seen < 3)
                return 0;
            i = 3;
        }
        m_atStart = false;
    }
    while (i < size) {
        if (in[i] < 0x80) {
            i += copyAscii(in + i, size - i, out);
            continue;
        }
        i += twoByteRun(gb18030, in + i, size - i, out);
        if (i == size)
            break;
        // Most characters are three bytes, and two bytes of GB18030. The overlong
        // forms and the surrogates three bytes could give are no characters.
        if ((in[i] & 0xF0) == 0xE0 && i + 2 < size && (in[i + 1] & 0xC0) == 0x80 &&
            (in[i + 2] & 0xC0) == 0x80) {
            const auto c = char16_t((in[i] & 0x0F) << 12 | (in[i + 1] & 0x3F) << 6 | (in[i + 2] & 0x3F));
            const quint16 sequence = c >= 0x800 && (c & 0xF800) != 0xD800 ? gb18030[c] : 0;
            if (sequence != 0) {
                out[0] = char(sequence >> 8);
                out[1] = char(sequence);
                out += 2;
                i += 3;
                continue;
            }
        }
        char32_t c = 0;
        const int length = readUtf8(in + i, size - i, c);
        if (length < 0) {
            (void)fail(false);
            return -1;
        }
        if (length == 0)
            break;
        const int written = m_codec.encodeOne(c, out);
        if (written == 0) {
            (void)fail(true);
            return -1;
        }
        out += written;
        i += length;
    }
    return i;
}

// Neither encoding has a CR or an LF inside a character, so the rule reads the bytes
// converted where they stand; they are written again only where an LF is to be added.
void ByteTranscoder::applyLineRule(QByteArray& out, qsizetype from)
{
    const char* const begin = out.constData() + from;
    const qsizetype size = out.size() - from;
    const LineEndRule<char>::Piece piece = m_lineEnds.take(begin, begin + size);
    if (!piece.lfFirst && piece.loneCr == piece.settled)
        return;
    m_text = QByteArray(begin, size);
    const char* const text = m_text.constData();
    const LineEndRule<char>::Piece moved{piece.lfFirst, text + (piece.loneCr - begin),
                                         text + (piece.settled - begin)};
    out.resize(from + 1 + 2 * size + lineEndSlack);
    char* const end = LineEndRule<char>::writeTaken(moved, text, text + size, out.data() + from);
    out.truncate(end - out.constData());
}

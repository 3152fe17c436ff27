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
    m_text.resize(0);
    const auto convertWhole = [this](QByteArrayView bytes) {
        return convert(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size());
    };
    if (!m_cut.feed(data, convertWhole))
        return m_failed ? false : fail(false);
    applyLineRule(out);
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

qsizetype ByteTranscoder::convert(const unsigned char* in, qsizetype size)
{
    const qsizetype start = m_text.size();
    // Two bytes out for each in, at the most: a GB18030 pair is at most four bytes of
    // UTF-8, a UTF-8 character of three at most four of GB18030; and room for the
    // whole words written past the end.
    m_text.resize(start + 2 * size + 8);
    char* out = m_text.data() + start;
    const qsizetype whole = m_fromUtf8 ? fromUtf8(in, size, out) : fromGb18030(in, size, out);
    m_text.truncate(whole < 0 ? start : out - m_text.constData());
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
        // a time, the next one's writing over what is not this one's.
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
        const unsigned char lead = in[i];
        if (lead < 0x80) {
            i += copyAscii(in + i, size - i, out);
            continue;
        }
        // Most characters are three bytes, and two bytes of GB18030. The overlong
        // forms and the surrogates three bytes could give are no characters.
        if ((lead & 0xF0) == 0xE0 && i + 2 < size && (in[i + 1] & 0xC0) == 0x80 &&
            (in[i + 2] & 0xC0) == 0x80) {
            const auto c = char16_t((lead & 0x0F) << 12 | (in[i + 1] & 0x3F) << 6 | (in[i + 2] & 0x3F));
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

void ByteTranscoder::applyLineRule(QByteArray& out)
{
    const qsizetype start = out.size();
    out.resize(start + 1 + 2 * m_text.size() + lineEndSlack);
    char* const end =
        m_lineEnds.write(m_text.constData(), m_text.constData() + m_text.size(), out.data() + start);
    out.truncate(end - out.constData());
}

#include "text/EncodingDetector.h"

#include "text/Gb18030Bytes.h"
#include "text/Gb18030Chunks.h"

#include <algorithm>
#include <cstring>

namespace {

// The vector check's step (text/Gb18030Chunks.h).
constexpr qsizetype chunkSize = 64;

// The bytes at `from` that are ASCII, in whole words of eight: most text is, and a
// word at a time is several times as fast as a byte.
qsizetype asciiWords(const unsigned char* from, qsizetype size)
{
    qsizetype count = 0;
    for (; size - count >= 8; count += 8) {
        quint64 word = 0;
        std::memcpy(&word, from + count, sizeof word);
        if ((word & 0x8080808080808080ULL) != 0)
            break;
    }
    return count;
}

} // namespace

EncodingDetector::EncodingDetector(Gb18030Check gb18030, VectorMethod vectors)
    : m_utf8(vectors), m_gbChecked(gb18030 == Gb18030Check::Checked), m_gbValid(m_gbChecked),
      m_gbWidth(cpu::vectorWidth(vectors))
{}

void EncodingDetector::feed(const char* data, qsizetype size)
{
    const auto* bytes = reinterpret_cast<const unsigned char*>(data);
    for (qsizetype i = 0; i < size && m_size + i < qsizetype(sizeof m_start); ++i)
        m_start[m_size + i] = bytes[i];
    m_size += size;
    m_utf8.feed(bytes, size);
    // Until the first byte above ASCII, GB18030 stands between characters: the
    // check starts with the block that holds that byte. Marked text needs none.
    if (m_gbValid && (m_gbHave > 0 || m_utf8.sawNonAscii()) && !marked())
        feedGb18030(bytes, size);
}

void EncodingDetector::feedGb18030(const unsigned char* bytes, qsizetype size)
{
    qsizetype i = 0;
    while (i < size && m_gbValid) {
        // Between characters, or after a lead, the vector check can take over; a chunk
        // it leaves goes byte by byte.
        if (m_gbWidth > 0 && m_gbHave <= 1 && size - i >= chunkSize) {
            i += takeGb18030Chunks(bytes + i, size - i);
            i = takeGb18030Bytes(bytes, i, std::min(size, i + chunkSize));
        } else {
            i = takeGb18030Bytes(bytes, i, size);
        }
    }
    if (!m_gbValid)
        m_gbHave = 0;
}

qsizetype EncodingDetector::takeGb18030Chunks(const unsigned char* bytes, qsizetype size)
{
#ifdef TAMBOREL_VECTOR_KERNELS
    bool leadBefore = m_gbHave == 1;
    const std::ptrdiff_t chunks = size / chunkSize;
    const std::ptrdiff_t checked = m_gbWidth == 32 ? checkGb18030Chunks32(bytes, chunks, leadBefore)
                                                   : checkGb18030Chunks16(bytes, chunks, leadBefore);
    if (checked == 0)
        return 0;
    const qsizetype taken = checked * chunkSize;
    m_gbHave = leadBefore ? 1 : 0;
    m_gbBytes[0] = bytes[taken - 1];
    return taken;
#else
    Q_UNUSED(bytes);
    Q_UNUSED(size);
    return 0;
#endif
}

qsizetype EncodingDetector::takeGb18030Bytes(const unsigned char* bytes, qsizetype from, qsizetype to)
{
    qsizetype i = from;
    while (i < to && m_gbValid) {
        if (m_gbHave == 0) {
            i += asciiWords(bytes + i, to - i);
            while (i < to && bytes[i] < 0x80)
                ++i;
            if (i == to)
                return i;
        }
        takeGb18030(bytes[i++]);
    }
    return i;
}

void EncodingDetector::takeGb18030(unsigned char byte)
{
    m_gbBytes[m_gbHave++] = byte;
    switch (m_gbHave) {
    case 1:
        if (byte < 0x80)
            m_gbHave = 0;
        else
            m_gbValid = gb18030::isLead(byte);
        return;
    case 2:
        if (gb18030::isTwoByteTrail(byte))
            m_gbHave = 0;
        else
            m_gbValid = gb18030::isDigit(byte);
        return;
    case 3:
        m_gbValid = gb18030::isLead(byte);
        return;
    default:
        m_gbValid = gb18030::isDigit(byte) && gb18030::isFourByteCharacter(m_gbBytes);
        m_gbHave = 0;
    }
}

std::optional<DetectedEncoding> EncodingDetector::marked() const
{
    const auto startsWith = [this](std::initializer_list<unsigned char> mark) {
        return m_size >= qsizetype(mark.size()) && std::equal(mark.begin(), mark.end(), m_start);
    };
    if (startsWith({0xEF, 0xBB, 0xBF}))
        return DetectedEncoding{TextEncoding::Utf8, 3};
    if (startsWith({0xFF, 0xFE}))
        return DetectedEncoding{TextEncoding::Utf16Le, 2};
    if (startsWith({0xFE, 0xFF}))
        return DetectedEncoding{TextEncoding::Utf16Be, 2};
    return std::nullopt;
}

DetectedEncoding EncodingDetector::result() const
{
    if (std::optional<DetectedEncoding> mark = marked()) {
        // A UTF-8 mark is checked with the text after it; UTF-16 is checked as it is converted.
        mark->validText = mark->encoding != TextEncoding::Utf8 || m_utf8.valid();
        return *mark;
    }
    if (!m_utf8.sawNonAscii())
        return {TextEncoding::Ascii, 0};
    if (m_utf8.valid())
        return {TextEncoding::Utf8, 0};
    if (!m_gbChecked || (m_gbValid && m_gbHave == 0))
        return {TextEncoding::Gb18030, 0};
    return {TextEncoding::Unknown, 0};
}

DetectedEncoding EncodingDetector::resultSoFar() const
{
    DetectedEncoding found = result();
    if (found.markSize > 0)
        found.validText = found.encoding != TextEncoding::Utf8 || !m_utf8.failed();
    return found;
}

bool EncodingDetector::isFinal() const
{
    if (const std::optional<DetectedEncoding> mark = marked())
        return mark->encoding != TextEncoding::Utf8 || m_utf8.failed();
    return m_utf8.failed() && (!m_gbChecked || !m_gbValid);
}

bool EncodingDetector::isUtf8SoFar() const
{
    return m_utf8.sawNonAscii() && !m_utf8.failed();
}

qint64 EncodingDetector::bytesFed() const
{
    return m_size;
}

// GB18030 through iconv, which glibc provides with the whole of GB18030, four-byte
// sequences included. A descriptor per direction is opened once and reused.
#include "text/Gb18030Codec.h"

#include <QSysInfo>

#include <cerrno>
#include <iconv.h>

namespace {

// What iconv_open() gives when it cannot convert.
const iconv_t noConverter = reinterpret_cast<iconv_t>(-1);

const char* nativeUtf16()
{
    return QSysInfo::ByteOrder == QSysInfo::LittleEndian ? "UTF-16LE" : "UTF-16BE";
}

// Converts all of [in, in + inSize) into `out`, which has room for the result;
// returns the bytes written, or -1 when the input is not valid text.
qsizetype convert(iconv_t converter, const char* in, size_t inSize, char* out, size_t outSize)
{
    ::iconv(converter, nullptr, nullptr, nullptr, nullptr);
    auto* from = const_cast<char*>(in);
    char* to = out;
    if (::iconv(converter, &from, &inSize, &to, &outSize) == size_t(-1) || inSize != 0)
        return -1;
    return to - out;
}

} // namespace

struct Gb18030Codec::Converters
{
    iconv_t decoder = ::iconv_open(nativeUtf16(), "GB18030");
    iconv_t encoder = ::iconv_open("GB18030", nativeUtf16());

    ~Converters()
    {
        if (decoder != noConverter)
            ::iconv_close(decoder);
        if (encoder != noConverter)
            ::iconv_close(encoder);
    }
};

Gb18030Codec::Gb18030Codec()
    : m_converters(std::make_unique<Converters>()), m_available(platformEncode(u"a").has_value())
{}

Gb18030Codec::~Gb18030Codec() = default;

std::optional<QString> Gb18030Codec::platformDecode(QByteArrayView bytes)
{
    if (m_converters->decoder == noConverter)
        return std::nullopt;
    // A character takes at least as many bytes as UTF-16 units.
    QString text(bytes.size(), Qt::Uninitialized);
    const qsizetype written = convert(m_converters->decoder, bytes.data(), size_t(bytes.size()),
                                      reinterpret_cast<char*>(text.data()), size_t(text.size()) * 2);
    if (written < 0)
        return std::nullopt;
    text.truncate(written / 2);
    return text;
}

std::optional<QByteArray> Gb18030Codec::platformEncode(QStringView text)
{
    if (m_converters->encoder == noConverter)
        return std::nullopt;
    // Four bytes at most per UTF-16 unit: as many for a character of the Basic
    // Multilingual Plane, and four for the two units of any other.
    QByteArray bytes(text.size() * 4, Qt::Uninitialized);
    const qsizetype written = convert(m_converters->encoder, reinterpret_cast<const char*>(text.data()),
                                      size_t(text.size()) * 2, bytes.data(), size_t(bytes.size()));
    if (written < 0)
        return std::nullopt;
    bytes.truncate(written);
    return bytes;
}

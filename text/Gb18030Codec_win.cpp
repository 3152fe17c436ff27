// GB18030 through Windows' code page 54936, which the system converts in full.
// Invalid input is refused, never replaced.
#include "text/Gb18030Codec.h"

#include <windows.h>

namespace {

constexpr UINT gb18030CodePage = 54936;

} // namespace

struct Gb18030Codec::Converters
{};

Gb18030Codec::Gb18030Codec()
    : m_converters(std::make_unique<Converters>()), m_available(platformEncode(u"a").has_value())
{}

Gb18030Codec::~Gb18030Codec() = default;

std::optional<QString> Gb18030Codec::platformDecode(QByteArrayView bytes)
{
    if (bytes.isEmpty())
        return QString();
    // A character takes at least as many bytes as UTF-16 units.
    QString text(bytes.size(), Qt::Uninitialized);
    const int written =
        MultiByteToWideChar(gb18030CodePage, MB_ERR_INVALID_CHARS, bytes.data(), int(bytes.size()),
                            reinterpret_cast<wchar_t*>(text.data()), int(text.size()));
    if (written <= 0)
        return std::nullopt;
    text.truncate(written);
    return text;
}

std::optional<QByteArray> Gb18030Codec::platformEncode(QStringView text)
{
    if (text.isEmpty())
        return QByteArray();
    // A lone surrogate is the only text GB18030 cannot hold. It is looked for here:
    // Wine refuses WC_ERR_INVALID_CHARS with this code page, which Windows accepts.
    if (!text.isValidUtf16())
        return std::nullopt;
    // Four bytes at most per UTF-16 unit.
    QByteArray bytes(text.size() * 4, Qt::Uninitialized);
    const int written =
        WideCharToMultiByte(gb18030CodePage, 0, reinterpret_cast<const wchar_t*>(text.data()),
                            int(text.size()), bytes.data(), int(bytes.size()), nullptr, nullptr);
    if (written <= 0)
        return std::nullopt;
    bytes.truncate(written);
    return bytes;
}

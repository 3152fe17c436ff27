#pragma once

#include <QByteArray>
#include <QString>

#include <memory>
#include <optional>

// GB18030 text to and from UTF-16, through the platform's own converter: iconv on
// POSIX systems, code page 54936 on Windows. Qt converts UTF-8 and UTF-16 itself but
// not GB18030. Both directions take whole characters, so the caller cuts text only
// between them, and both give nullopt for input that is not valid text.
class Gb18030Codec final
{
public:
    Gb18030Codec();
    ~Gb18030Codec();
    Q_DISABLE_COPY_MOVE(Gb18030Codec)

    [[nodiscard]] std::optional<QString> decode(QByteArrayView bytes);
    [[nodiscard]] std::optional<QByteArray> encode(QStringView text);

private:
    struct Converters;
    std::unique_ptr<Converters> m_converters;
};

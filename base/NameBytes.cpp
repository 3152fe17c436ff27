#include "base/NameBytes.h"

#include "text/Gb18030Codec.h"
#include "text/Utf8Validator.h"

#include <optional>

qsizetype utf8SequenceLength(QByteArrayView bytes)
{
    // The validator's own rule, byte by byte, up to the first place between characters.
    Utf8Validator check(Utf8Validator::Method::ByteByByte);
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        check.feed(reinterpret_cast<const unsigned char*>(bytes.data()) + i, 1);
        if (check.failed())
            return 0;
        if (check.valid())
            return i + 1;
    }
    return 0;
}

namespace {

bool isControl(char16_t c)
{
    return c < 0x20 || c == 0x7F;
}

void appendEscaped(QString& text, unsigned char byte)
{
    text += QStringLiteral("\\x") + QString::number(byte, 16).toUpper().rightJustified(2, u'0');
}

void appendVisible(QString& text, const QString& decoded)
{
    for (const QChar c : decoded) {
        if (isControl(c.unicode()))
            appendEscaped(text, static_cast<unsigned char>(c.unicode()));
        else
            text += c;
    }
}

bool isValidUtf8(QByteArrayView name)
{
    Utf8Validator check;
    check.feed(reinterpret_cast<const unsigned char*>(name.data()), name.size());
    return check.valid();
}

void appendWithEscapes(QString& text, QByteArrayView name)
{
    while (!name.isEmpty()) {
        const qsizetype length = utf8SequenceLength(name);
        if (length == 0) {
            appendEscaped(text, static_cast<unsigned char>(name.front()));
            name = name.sliced(1);
            continue;
        }
        appendVisible(text, QString::fromUtf8(name.first(length)));
        name = name.sliced(length);
    }
}

} // namespace

QString displayName(QByteArrayView name)
{
    QString text;
    if (isValidUtf8(name)) {
        appendVisible(text, QString::fromUtf8(name));
        return text;
    }
    if (const std::optional<QString> decoded = Gb18030Codec::decode(name)) {
        appendVisible(text, *decoded);
        return text;
    }
    appendWithEscapes(text, name);
    return text;
}

#include "base/NameBytes.h"

#include <QStringDecoder>

namespace {

// What a sequence's first byte says: its length, the bits of the code point it
// carries, and the smallest code point that needs this length (smaller ones would
// be overlong forms).
struct Lead
{
    qsizetype length;
    char32_t bits;
    char32_t smallest;
};

Lead leadOf(unsigned char byte)
{
    if (byte < 0x80)
        return {1, byte, 0};
    if ((byte & 0xE0) == 0xC0)
        return {2, char32_t(byte & 0x1F), 0x80};
    if ((byte & 0xF0) == 0xE0)
        return {3, char32_t(byte & 0x0F), 0x800};
    if ((byte & 0xF8) == 0xF0)
        return {4, char32_t(byte & 0x07), 0x10000};
    return {0, 0, 0};
}

} // namespace

qsizetype utf8SequenceLength(QByteArrayView bytes)
{
    if (bytes.isEmpty())
        return 0;
    const Lead lead = leadOf(static_cast<unsigned char>(bytes.front()));
    if (lead.length == 0 || bytes.size() < lead.length)
        return 0;
    char32_t value = lead.bits;
    for (qsizetype i = 1; i < lead.length; ++i) {
        const auto byte = static_cast<unsigned char>(bytes[i]);
        if ((byte & 0xC0) != 0x80)
            return 0;
        value = (value << 6) | (byte & 0x3F);
    }
    const bool surrogate = value >= 0xD800 && value <= 0xDFFF;
    return value < lead.smallest || surrogate || value > 0x10FFFF ? 0 : lead.length;
}

bool hasTextExtension(QByteArrayView name)
{
    if (name.size() < 4)
        return false;
    const QByteArrayView end = name.last(4);
    // OR-ing 0x20 folds only 'T' onto 't' (and 'X' onto 'x'): no other byte maps there.
    return end[0] == '.' && (end[1] | 0x20) == 't' && (end[2] | 0x20) == 'x' && (end[3] | 0x20) == 't';
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
    while (!name.isEmpty()) {
        const qsizetype length = utf8SequenceLength(name);
        if (length == 0)
            return false;
        name = name.sliced(length);
    }
    return true;
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
    QStringDecoder gb18030("GB18030", QStringDecoder::Flag::Stateless);
    if (gb18030.isValid()) {
        const QString decoded = gb18030.decode(name);
        if (!gb18030.hasError()) {
            appendVisible(text, decoded);
            return text;
        }
    }
    appendWithEscapes(text, name);
    return text;
}

#include "merge/ConversionText.h"

#include <QDir>
#include <QStringList>

namespace {

// Files named before the rest are only counted.
constexpr qsizetype namedFiles = 3;

QString encodingName(TextEncoding encoding)
{
    switch (encoding) {
    case TextEncoding::Ascii:
        return QStringLiteral("ASCII");
    case TextEncoding::Utf8:
        return QStringLiteral("UTF-8");
    case TextEncoding::Utf16Le:
        return QStringLiteral("UTF-16LE");
    case TextEncoding::Utf16Be:
        return QStringLiteral("UTF-16BE");
    case TextEncoding::Gb18030:
        // The name users know GB18030 text by, which it extends.
        return QStringLiteral("GBK");
    case TextEncoding::Unknown:
        break;
    }
    return QStringLiteral("?");
}

QString fileName(const NativePath& path)
{
    const QString shown = path.display();
    return shown.mid(shown.lastIndexOf(QDir::separator()) + 1);
}

QString lineFor(TextEncoding from, const QList<ConvertedInput>& converted)
{
    QStringList names;
    for (const ConvertedInput& input : converted) {
        if (input.from == from)
            names.append(fileName(input.path));
    }
    QString files = names.mid(0, namedFiles).join(QStringLiteral("、"));
    if (names.size() > namedFiles)
        files += QStringLiteral(" 等 %1 个文件").arg(names.size());
    return QStringLiteral("以下文件已从 %1 转换为 %2：")
               .arg(encodingName(from), encodingName(converted.first().to)) +
           files;
}

} // namespace

QString conversionText(const QList<ConvertedInput>& converted)
{
    QList<TextEncoding> sources;
    for (const ConvertedInput& input : converted) {
        if (!sources.contains(input.from))
            sources.append(input.from);
    }
    QStringList lines;
    for (const TextEncoding from : sources)
        lines.append(lineFor(from, converted));
    return lines.join(u'\n');
}

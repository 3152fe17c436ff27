#include "outputname/OutputName.h"

#include "base/TextFileName.h"

QString defaultOutputName(const NativePath& folder)
{
    return folder.displayAsFolder() + QStringLiteral("Corvalent.txt");
}

QString extensionOf(QStringView name)
{
    const std::optional<qsizetype> lastDot = lastIndexOf(u".", name);
    return u'.' + (lastDot ? name.sliced(*lastDot + 1) : name).toString();
}

std::optional<qsizetype> lastIndexOf(QStringView character, QStringView text)
{
    if (character.isEmpty())
        return std::nullopt;
    const qsizetype index = text.lastIndexOf(character.front(), -1, Qt::CaseInsensitive);
    if (index < 0)
        return std::nullopt;
    return index;
}

QString withTxtExtension(const QString& name)
{
    if (isTextExtension(extensionOf(name)))
        return name;
    return name + QStringLiteral(".txt");
}

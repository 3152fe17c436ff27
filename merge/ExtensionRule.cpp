#include "merge/ExtensionRule.h"

QString getExtension(QStringView name)
{
    // A "." has no other letter case, so the case-insensitive search of the
    // original reduces to a plain one.
    const qsizetype lastDot = lastPosOf(u".", name);
    return u'.' + name.right(name.size() - lastDot).toString();
}

qsizetype lastPosOf(QStringView character, QStringView text)
{
    if (character.isEmpty())
        return 0;
    return text.lastIndexOf(character.front(), -1, Qt::CaseInsensitive) + 1;
}

QString withTxtExtension(const QString& name)
{
    if (getExtension(name).compare(u".txt", Qt::CaseInsensitive) == 0)
        return name;
    return name + QStringLiteral(".txt");
}

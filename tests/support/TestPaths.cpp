#include "support/TestPaths.h"

#include <QTest>

NativePath path(const QString& text)
{
    return NativePath::fromText(text);
}

QList<NativePath> paths(const QStringList& texts)
{
    QList<NativePath> result;
    for (const QString& text : texts)
        result.append(path(text));
    return result;
}

char* toString(const NativePath& path)
{
    return QTest::toString(path.display());
}

QStringList displayTexts(const QList<NativePath>& paths)
{
    QStringList texts;
    for (const NativePath& path : paths)
        texts.append(path.display());
    return texts;
}

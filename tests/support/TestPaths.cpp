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

#include "merge/OutputPath.h"

#include <QDir>

#include <algorithm>

OutputPathParts splitOutputPath(const QString& name)
{
    const qsizetype cut = std::max(name.lastIndexOf(u'/'), name.lastIndexOf(QDir::separator())) + 1;
    return {name.left(cut), name.mid(cut)};
}

QString openableFolder(const OutputPathParts& parts)
{
    return parts.folder.isEmpty() ? QStringLiteral(".") : parts.folder;
}

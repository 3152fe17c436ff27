#include "merge/OutputPath.h"

#include "merge/ExtensionRule.h"

#include <QDir>

#include <algorithm>

OutputPathParts splitOutputPath(const QString& name)
{
    // LastPosOf counts from 1, so the position found is the length of the folder part.
    const qsizetype cut = std::max(LastPosOf(u"/", name), LastPosOf(QString(QDir::separator()), name));
    return {name.left(cut), name.mid(cut)};
}

QString openableFolder(const OutputPathParts& parts)
{
    return parts.folder.isEmpty() ? QStringLiteral(".") : parts.folder;
}

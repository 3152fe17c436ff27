#include "browser/FolderListing.h"

#include "browser/NaturalOrder.h"

#include <QDir>
#include <QDirIterator>
#include <QFileInfo>
#include <QRegularExpression>

#include <algorithm>

namespace {

// Hidden entries are left out because QDir::Hidden is not asked for, and QDir
// drops FIFOs, sockets and devices without QDir::System. It keeps a symbolic link
// to one, though, so the kind is checked again: isFile() and isDir() follow links.
// On Unix the kind of a plain entry comes with the directory entry itself, so only
// links and entries of unknown kind cost a stat.
QStringList entryNames(const QString& folder, QDir::Filter kind, const QRegularExpression* pattern)
{
    QStringList names;
    if (folder.isEmpty())
        return names;
    QDirIterator it(folder, kind | QDir::NoDotAndDotDot);
    while (it.hasNext()) {
        it.next();
        const QString name = it.fileName();
        if (pattern != nullptr && !pattern->match(name).hasMatch())
            continue;
        const QFileInfo info = it.fileInfo();
        if (kind == QDir::Files ? info.isFile() : info.isDir())
            names.append(name);
    }
    std::sort(names.begin(), names.end(), naturalLess);
    return names;
}

QRegularExpression wildcard(const QString& pattern)
{
    return QRegularExpression(QRegularExpression::wildcardToRegularExpression(pattern),
                              QRegularExpression::CaseInsensitiveOption);
}

} // namespace

bool isReadableFolder(const QString& folder)
{
    if (folder.isEmpty())
        return false;
    const QFileInfo info(folder);
    return info.isDir() && info.isReadable();
}

QStringList folderAncestors(const QString& folder)
{
    QStringList chain;
    if (folder.isEmpty())
        return chain;
    QString current = QDir::cleanPath(QDir::fromNativeSeparators(folder));
    while (true) {
        chain.prepend(QDir::toNativeSeparators(current));
        const QString parent = QFileInfo(current).path();
        if (parent == current || parent == QLatin1String("."))
            break;
        current = parent;
    }
    return chain;
}

QStringList subfolderNames(const QString& folder)
{
    return entryNames(folder, QDir::Dirs, nullptr);
}

QStringList matchingFileNames(const QString& folder, const QString& pattern)
{
    const QRegularExpression matcher = wildcard(pattern);
    return entryNames(folder, QDir::Files, &matcher);
}

bool isListedTextFile(const QString& path)
{
    const QFileInfo info(path);
    return info.isFile() && !info.isHidden() && wildcard(textFilePattern).match(info.fileName()).hasMatch();
}

// Listing folders on Windows through Qt, whose UTF-16 names are the system's own.
#include "browser/FolderListing.h"

#include <QDir>
#include <QDirIterator>
#include <QFileInfo>
#include <QRegularExpression>

namespace {

const QRegularExpression& textFilePattern()
{
    static const QRegularExpression pattern(
        QRegularExpression::wildcardToRegularExpression(QStringLiteral("*.txt")),
        QRegularExpression::CaseInsensitiveOption);
    return pattern;
}

// Hidden and system entries are left out because QDir::Hidden and QDir::System are
// not asked for. A link to a device is kept by QDir, so the kind is checked again.
QList<FolderEntry> entriesOf(const NativePath& folder, QDir::Filter kind)
{
    QList<NativePath> names;
    if (folder.isEmpty())
        return {};
    QDirIterator it(folder.native(), kind | QDir::NoDotAndDotDot);
    while (it.hasNext()) {
        it.next();
        const QString name = it.fileName();
        if (kind == QDir::Files && !textFilePattern().match(name).hasMatch())
            continue;
        const QFileInfo info = it.fileInfo();
        if (kind == QDir::Files ? info.isFile() : info.isDir())
            names.append(NativePath::fromNative(name));
    }
    return sortedEntries(names);
}

} // namespace

bool isReadableFolder(const NativePath& folder)
{
    const QFileInfo info(folder.native());
    return !folder.isEmpty() && info.isDir() && info.isReadable();
}

QList<FolderEntry> subfolders(const NativePath& folder)
{
    return entriesOf(folder, QDir::Dirs);
}

QList<FolderEntry> textFiles(const NativePath& folder)
{
    return entriesOf(folder, QDir::Files);
}

bool isListedTextFile(const NativePath& path)
{
    const QFileInfo info(path.native());
    return info.isFile() && !info.isHidden() && textFilePattern().match(info.fileName()).hasMatch();
}

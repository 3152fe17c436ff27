#include "browser/NativePath.h"

#include <QDir>
#include <QFileInfo>

Qt::CaseSensitivity fileNameCase()
{
#ifdef Q_OS_WIN
    return Qt::CaseInsensitive;
#else
    // Linux file systems tell "a.txt" and "A.txt" apart, so they are two files.
    return Qt::CaseSensitive;
#endif
}

QString nativeFolder(const QString& path)
{
    if (path.isEmpty())
        return {};
    return QDir::toNativeSeparators(QDir::cleanPath(QFileInfo(path).absoluteFilePath()));
}

bool samePath(const QString& a, const QString& b)
{
    return a.compare(b, fileNameCase()) == 0;
}

bool liesUnder(const QString& path, const QString& root)
{
    if (root.isEmpty() || !path.startsWith(root, fileNameCase()))
        return false;
    // "/media/usb2" must not count as lying on the volume "/media/usb".
    return path.size() == root.size() || root.endsWith(QDir::separator()) ||
           path.at(root.size()) == QDir::separator();
}

QString pathKey(const QString& path)
{
    return fileNameCase() == Qt::CaseInsensitive ? path.toCaseFolded() : path;
}

QString childPath(const QString& folder, const QString& name)
{
    const QChar separator = QDir::separator();
    if (folder.endsWith(separator))
        return folder + name;
    return folder + separator + name;
}

#include "mergelist/PathRules.h"

#include <QDir>

QString BuildFullPath(const QString& folder, const QString& fileName)
{
    const QChar separator = QDir::separator();
    if (folder.endsWith(separator)) {
        return folder + fileName;
    }
    return folder + separator + fileName;
}

bool fileNamesIgnoreCase()
{
#ifdef Q_OS_WIN
    return true;
#else
    // Linux file systems tell "a.txt" and "A.txt" apart, so the user may merge both.
    return false;
#endif
}

QString comparedForm(const QString& path)
{
    return fileNamesIgnoreCase() ? path.toCaseFolded() : path;
}

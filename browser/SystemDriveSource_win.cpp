// The drives of a Windows system: its drive letters.
#include "browser/NaturalOrder.h"
#include "browser/SystemDriveSource.h"

#include <QDir>
#include <QFileInfo>
#include <QStorageInfo>

#include <algorithm>

QList<Drive> SystemDriveSource::drives() const
{
    QList<Drive> drives;
    const QFileInfoList letters = QDir::drives();
    for (const QFileInfo& letter : letters) {
        const QString root = QDir::toNativeSeparators(letter.absoluteFilePath());
        // "c: [System]", the way the drive letters have always been shown.
        QString label = root.left(2).toLower();
        const QString volumeName = QStorageInfo(root).name();
        if (!volumeName.isEmpty())
            label += QStringLiteral(" [%1]").arg(volumeName);
        drives.append({NativePath::fromNative(root), label, 0});
    }
    std::sort(drives.begin(), drives.end(),
              [](const Drive& a, const Drive& b) { return naturalLess(a.root.display(), b.root.display()); });
    return drives;
}

bool SystemDriveSource::isStillMounted(const Drive& drive) const
{
    // A drive letter names its volume for as long as it exists; an empty drive is
    // found unreadable by the folder pane.
    Q_UNUSED(drive);
    return true;
}

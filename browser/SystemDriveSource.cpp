#include "browser/SystemDriveSource.h"

#include "browser/NativePath.h"
#include "browser/NaturalOrder.h"

#include <QDir>
#include <QFileInfo>
#include <QSet>
#include <QStorageInfo>

#include <algorithm>

namespace {

#ifdef Q_OS_WIN

// "c: [System]", the way the drive letters have always been shown.
QList<Drive> systemDrives()
{
    QList<Drive> drives;
    const QFileInfoList letters = QDir::drives();
    for (const QFileInfo& letter : letters) {
        const QString root = QDir::toNativeSeparators(letter.absoluteFilePath());
        QString label = root.left(2).toLower();
        const QString volumeName = QStorageInfo(root).name();
        if (!volumeName.isEmpty())
            label += QStringLiteral(" [%1]").arg(volumeName);
        drives.append({root, label});
    }
    return drives;
}

#else

// Kernel and runtime file systems that hold nothing a user would merge.
bool isPseudoFileSystem(const QByteArray& type)
{
    static constexpr const char* pseudo[] = {
        "autofs",        "binfmt_misc", "bpf",      "cgroup",   "cgroup2", "configfs",        "debugfs",
        "devfs",         "devpts",      "devtmpfs", "efivarfs", "fusectl", "hugetlbfs",       "mqueue",
        "nsfs",          "overlay",     "proc",     "pstore",   "ramfs",   "rpc_pipefs",      "securityfs",
        "selinuxfs",     "squashfs",    "sysfs",    "tmpfs",    "tracefs", "fuse.gvfsd-fuse", "fuse.portal",
        "fuse.snapfuse", "nfsd",
    };
    return std::any_of(std::begin(pseudo), std::end(pseudo),
                       [&type](const char* name) { return type == name; });
}

bool isSystemArea(const QString& mountPoint)
{
    static const QString areas[] = {QStringLiteral("/proc"), QStringLiteral("/sys"), QStringLiteral("/dev")};
    return std::any_of(std::begin(areas), std::end(areas),
                       [&mountPoint](const QString& area) { return liesUnder(mountPoint, area); });
}

bool isUserVolume(const QStorageInfo& volume)
{
    const QString mountPoint = volume.rootPath();
    if (mountPoint == QLatin1String("/"))
        return true;
    // Containers bind single files such as /etc/hosts; only folders can be browsed.
    return volume.isValid() && !isPseudoFileSystem(volume.fileSystemType()) && !isSystemArea(mountPoint) &&
           QFileInfo(mountPoint).isDir();
}

// "/media/usb  [STICK]": the mount point, then the volume's name or its device.
QString labelOf(const QStorageInfo& volume, const QString& root)
{
    const QString name = volume.name();
    const QString detail = name.isEmpty() ? QString::fromLocal8Bit(volume.device()) : name;
    return detail.isEmpty() ? root : QStringLiteral("%1  [%2]").arg(root, detail);
}

QList<Drive> systemDrives()
{
    QList<Drive> drives;
    QSet<QString> seen;
    // Walk backwards: where two volumes share a mount point the later one hides the
    // earlier, and the user sees the later one's files.
    const QList<QStorageInfo> volumes = QStorageInfo::mountedVolumes();
    for (auto it = volumes.crbegin(); it != volumes.crend(); ++it) {
        const QString root = nativeFolder(it->rootPath());
        if (root.isEmpty() || seen.contains(root) || !isUserVolume(*it))
            continue;
        seen.insert(root);
        drives.append({root, labelOf(*it, root)});
    }
    if (!seen.contains(QStringLiteral("/")))
        drives.append({QStringLiteral("/"), QStringLiteral("/")});
    return drives;
}

#endif

} // namespace

QList<Drive> SystemDriveSource::drives() const
{
    QList<Drive> drives = systemDrives();
    // "/" sorts first on its own, being the shortest root.
    std::sort(drives.begin(), drives.end(),
              [](const Drive& a, const Drive& b) { return naturalLess(a.root, b.root); });
    return drives;
}

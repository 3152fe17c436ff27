// The drives of a Linux system: its mounted volumes, read from /proc/self/mountinfo
// with their mount points' bytes, each known by the device number it had when listed.
#include "base/DirHandle_posix.h"
#include "base/NameBytes.h"
#include "browser/MountTable.h"
#include "browser/NaturalOrder.h"
#include "browser/SystemDriveSource.h"

#include <QFile>
#include <QHash>
#include <QSet>

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <dirent.h>
#include <memory>
#include <sys/stat.h>

namespace {

QByteArray canonicalDevice(const QByteArray& path)
{
    char resolved[PATH_MAX];
    return ::realpath(path.constData(), resolved) == nullptr ? QByteArray() : QByteArray(resolved);
}

// udev names the links in /dev/disk/by-label with "\x20" for a space, "\x2f" for "/".
QByteArray udevUnescaped(QByteArrayView name)
{
    QByteArray bytes;
    for (qsizetype i = 0; i < name.size(); ++i) {
        if (name[i] == '\\' && i + 3 < name.size() && name[i + 1] == 'x') {
            bool isHex = false;
            const int value = name.sliced(i + 2, 2).toByteArray().toInt(&isHex, 16);
            if (isHex) {
                bytes += char(value);
                i += 3;
                continue;
            }
        }
        bytes += name[i];
    }
    return bytes;
}

// Volume labels by the canonical path of their device.
QHash<QByteArray, QString> labelsByDevice()
{
    QHash<QByteArray, QString> labels;
    const QByteArray folder("/dev/disk/by-label/");
    const DirHandle dir = openDir(folder);
    if (!dir)
        return labels;
    while (const dirent* entry = ::readdir(dir.get())) {
        if (entry->d_name[0] == '.')
            continue;
        const QByteArray device = canonicalDevice(folder + entry->d_name);
        if (!device.isEmpty())
            labels.insert(device, displayName(udevUnescaped(entry->d_name)));
    }
    return labels;
}

// The device number of the volume at the folder; 0 when it is no folder.
quint64 volumeAt(const NativePath& root)
{
    struct stat info = {};
    if (::stat(root.native().constData(), &info) != 0 || !S_ISDIR(info.st_mode))
        return 0;
    return static_cast<quint64>(info.st_dev);
}

QByteArray mountInfo()
{
    QFile file(QStringLiteral("/proc/self/mountinfo"));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

QList<Drive> SystemDriveSource::drives() const
{
    const QHash<QByteArray, QString> labels = labelsByDevice();
    const QList<MountEntry> mounts = parseMountInfo(mountInfo());
    QList<Drive> drives;
    QSet<QByteArray> seen;
    // Walk backwards: where two volumes share a mount point the later one hides the
    // earlier, and the user sees the later one's files.
    for (auto it = mounts.crbegin(); it != mounts.crend(); ++it) {
        const NativePath& root = it->mountPoint;
        if (seen.contains(root.native()) || !isUserVolume(it->type, root))
            continue;
        seen.insert(root.native());
        // Containers bind single files such as /etc/hosts; only folders can be browsed.
        const quint64 volume = volumeAt(root);
        if (volume == 0)
            continue;
        const QString label = labels.value(canonicalDevice(it->source));
        drives.append({root, driveLabel(label, root), volume});
    }
    const NativePath slash = NativePath::separator();
    if (!seen.contains(slash.native()))
        drives.append({slash, slash.display(), volumeAt(slash)});
    std::sort(drives.begin(), drives.end(),
              [](const Drive& a, const Drive& b) { return naturalLess(a.root.display(), b.root.display()); });
    return drives;
}

bool SystemDriveSource::isStillMounted(const Drive& drive) const
{
    const quint64 volume = volumeAt(drive.root);
    return volume != 0 && (drive.volume == 0 || volume == drive.volume);
}

// The drives of a Linux system: its mounted volumes, read from /proc/self/mountinfo
// with their mount points' bytes, each known by the device number it had when listed.
// Reading the mount table waits on no volume; looking at a mount point does, and a
// stopped file system in user space or a network server gone would wait forever.
#include "base/DirHandle_posix.h"
#include "base/NameBytes.h"
#include "browser/MountTable.h"
#include "browser/ReadingOrder.h"
#include "browser/SystemDriveSource.h"

#include <QFile>
#include <QHash>
#include <QSet>

#include <algorithm>
#include <chrono>
#include <climits>
#include <cstdlib>
#include <dirent.h>
#include <sys/stat.h>

namespace {

using namespace std::chrono_literals;

// How long the drives are waited for, all together: short enough that the window
// shows at once, long enough for any volume that answers at all.
constexpr auto answerTime = 300ms;

// Only device nodes are resolved: /dev waits on no volume, and a path elsewhere
// could lie on one that does not answer.
QByteArray canonicalDevice(const QByteArray& path)
{
    char resolved[PATH_MAX];
    if (!path.startsWith("/dev/") || ::realpath(path.constData(), resolved) == nullptr)
        return {};
    return QByteArray(resolved);
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

// Asked on a thread of its own: the volume at the mount point answers with its
// device number, unless it does not answer at all.
VolumeAnswer askMountPoint(const NativePath& root)
{
    struct stat info = {};
    VolumeAnswer answer;
    answer.isFolder = ::stat(root.native().constData(), &info) == 0 && S_ISDIR(info.st_mode);
    answer.volume = answer.isFolder ? static_cast<quint64>(info.st_dev) : 0;
    return answer;
}

QByteArray mountInfo()
{
    QFile file(QStringLiteral("/proc/self/mountinfo"));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The mounts the drive pane lists, the later of two at one mount point hiding the
// earlier, and "/" always.
QList<MountEntry> userMounts()
{
    const QList<MountEntry> mounts = parseMountInfo(mountInfo());
    QList<MountEntry> listed;
    QSet<QByteArray> seen;
    // Walk backwards: where two volumes share a mount point the later one hides the
    // earlier, and the user sees the later one's files.
    for (auto it = mounts.crbegin(); it != mounts.crend(); ++it) {
        if (seen.contains(it->mountPoint.native()) || !isUserVolume(it->type, it->mountPoint))
            continue;
        seen.insert(it->mountPoint.native());
        listed.append(*it);
    }
    if (!seen.contains(NativePath::separator().native()))
        listed.append({NativePath::separator(), {}, {}});
    return listed;
}

} // namespace

SystemDriveSource::SystemDriveSource(FileSystemAsker& asker) : m_probe(asker, askMountPoint) {}

QList<Drive> SystemDriveSource::drives() const
{
    const QList<MountEntry> mounts = userMounts();
    QList<NativePath> roots;
    for (const MountEntry& mount : mounts)
        roots.append(mount.mountPoint);
    const QList<VolumeAnswer> answers = m_probe.ask(roots, answerTime);
    const QHash<QByteArray, QString> labels = labelsByDevice();
    QList<Drive> drives;
    for (qsizetype i = 0; i < mounts.size(); ++i) {
        const MountEntry& mount = mounts.at(i);
        const VolumeAnswer& answer = answers.at(i);
        // Containers bind single files such as /etc/hosts; only folders can be browsed.
        if (answer.answered && !answer.isFolder)
            continue;
        const QString label = labels.value(canonicalDevice(mount.source));
        drives.append({mount.mountPoint, driveLabel(label, mount.mountPoint), answer.volume});
    }
    std::sort(drives.begin(), drives.end(),
              [](const Drive& a, const Drive& b) { return readingLess(a.root.display(), b.root.display()); });
    return drives;
}

bool SystemDriveSource::isStillMounted(const Drive& drive) const
{
    const VolumeAnswer answer = m_probe.ask({drive.root}, answerTime).constFirst();
    return answer.answered && answer.volume != 0 && (drive.volume == 0 || answer.volume == drive.volume);
}

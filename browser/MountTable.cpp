#include "browser/MountTable.h"

#include <algorithm>

namespace {

// mountinfo writes a space, tab, newline or backslash in a path as "\" and three
// octal digits.
QByteArray unescaped(const QByteArray& field)
{
    QByteArray bytes;
    bytes.reserve(field.size());
    for (qsizetype i = 0; i < field.size(); ++i) {
        const bool octal = field.at(i) == '\\' && i + 3 < field.size() &&
                           std::all_of(field.begin() + i + 1, field.begin() + i + 4,
                                       [](char c) { return c >= '0' && c <= '7'; });
        if (!octal) {
            bytes += field.at(i);
            continue;
        }
        bytes +=
            char(((field.at(i + 1) - '0') << 6) | ((field.at(i + 2) - '0') << 3) | (field.at(i + 3) - '0'));
        i += 3;
    }
    return bytes;
}

bool isPseudoFileSystem(const QByteArray& type)
{
    static constexpr const char* pseudo[] = {
        "autofs",    "binfmt_misc", "bpf",         "cgroup",          "cgroup2",       "configfs",
        "debugfs",   "devfs",       "devpts",      "devtmpfs",        "efivarfs",      "fusectl",
        "hugetlbfs", "mqueue",      "nsfs",        "overlay",         "proc",          "pstore",
        "ramfs",     "rpc_pipefs",  "securityfs",  "selinuxfs",       "squashfs",      "sysfs",
        "tracefs",   "nfsd",        "fuse.portal", "fuse.gvfsd-fuse", "fuse.snapfuse",
    };
    return std::any_of(std::begin(pseudo), std::end(pseudo),
                       [&type](const char* name) { return type == name; });
}

bool liesUnderAny(const NativePath& path, std::initializer_list<const char*> areas)
{
    return std::any_of(areas.begin(), areas.end(), [&path](const char* area) {
        return path.liesUnder(NativePath::fromText(QLatin1String(area)));
    });
}

} // namespace

QList<MountEntry> parseMountInfo(const QByteArray& text)
{
    QList<MountEntry> entries;
    for (const QByteArray& line : text.split('\n')) {
        const QList<QByteArray> fields = line.split(' ');
        // Optional fields stand between the mount options and a lone "-".
        const qsizetype dash = fields.indexOf(QByteArrayLiteral("-"), 6);
        if (fields.size() < 10 || dash < 0 || dash + 2 >= fields.size())
            continue;
        entries.append({NativePath::fromNative(unescaped(fields.at(4))), fields.at(dash + 1),
                        unescaped(fields.at(dash + 2))});
    }
    return entries;
}

bool isUserVolume(const QByteArray& type, const NativePath& mountPoint)
{
    if (mountPoint == NativePath::separator())
        return true;
    if (type == "tmpfs")
        return !liesUnderAny(mountPoint, {"/run", "/dev", "/sys", "/proc"});
    return !isPseudoFileSystem(type) && !liesUnderAny(mountPoint, {"/proc", "/sys", "/dev"});
}

QString driveLabel(const QString& volumeLabel, const NativePath& mountPoint)
{
    const QString path = mountPoint.display();
    QString name = volumeLabel.isEmpty() ? mountPoint.fileName().display() : volumeLabel;
    if (name.isEmpty() || name == path)
        return path;
    return QStringLiteral("%1 (%2)").arg(name, path);
}

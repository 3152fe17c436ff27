#pragma once

#include "base/NativePath.h"

#include <QByteArray>
#include <QList>
#include <QString>

// The mounted volumes as Linux lists them in /proc/self/mountinfo, and the rules that
// pick those a user would merge files on.

struct MountEntry
{
    NativePath mountPoint;
    QByteArray type;
    QByteArray source; // the device, or a name such as "tmpfs"
};

// The entries of a mountinfo text, in its order; mount points keep their bytes.
[[nodiscard]] QList<MountEntry> parseMountInfo(const QByteArray& text);

// Whether a volume of this type mounted there belongs in the drive pane: "/" always;
// RAM disks (tmpfs) too, except the system's own below /run, /dev, /sys and /proc;
// other kernel and runtime file systems never; nothing below /proc, /sys or /dev.
[[nodiscard]] bool isUserVolume(const QByteArray& type, const NativePath& mountPoint);

// What the drive pane shows for a volume: its label, or else the last part of its
// mount point, followed by the mount point, so that /media/alice/STICK1 and
// /media/alice/STICK2 stay apart even when the pane cuts the text short.
[[nodiscard]] QString driveLabel(const QString& volumeLabel, const NativePath& mountPoint);

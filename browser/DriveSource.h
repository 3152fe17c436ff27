#pragma once

#include "base/NativePath.h"

#include <QList>
#include <QString>
#include <QtGlobal>

// One volume the user can pick in the drive pane.
struct Drive
{
    NativePath root; // the volume's top folder ("/", "/media/usb", "C:\")
    QString label;   // what the drive pane shows for it
    // Which volume the system had at the root when it was listed, where the system
    // can tell (the device number on POSIX systems); 0 when it cannot.
    quint64 volume = 0;
};

// Where the drives come from. The program reads the system's volumes; tests hand
// in volumes of their own, including ones whose root cannot be read.
class DriveSource
{
public:
    DriveSource() = default;
    virtual ~DriveSource();
    Q_DISABLE_COPY_MOVE(DriveSource)

    [[nodiscard]] virtual QList<Drive> drives() const = 0;
    // Whether the drive's root still holds the volume that was listed there. A
    // volume unmounted since, even lazily, leaves a plain folder of the volume
    // below it at its mount point, which is not the drive the user picked.
    [[nodiscard]] virtual bool isStillMounted(const Drive& drive) const = 0;
};

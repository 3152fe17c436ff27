#include "support/FakeDriveSource.h"

QList<Drive> FakeDriveSource::drives() const
{
    QList<Drive> mounted;
    for (const Drive& drive : list)
        if (!unmounted.contains(drive.root))
            mounted.append(drive);
    return mounted;
}

bool FakeDriveSource::isStillMounted(const Drive& drive) const
{
    return !unmounted.contains(drive.root);
}

#include "support/FakeDriveSource.h"

QList<Drive> FakeDriveSource::drives() const
{
    return list;
}

bool FakeDriveSource::isStillMounted(const Drive& drive) const
{
    return !unmounted.contains(drive.root);
}

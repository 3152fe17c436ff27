#include "support/FakeDriveSource.h"

QList<Drive> FakeDriveSource::drives() const
{
    return list;
}

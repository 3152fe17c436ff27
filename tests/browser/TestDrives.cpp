#include "TestDrives.h"

#include "browser/NativePath.h"

#include <QFileInfo>

QList<Drive> TestDrives::drives() const
{
    return m_drives;
}

void TestDrives::add(const QString& root)
{
    m_drives.append({nativeFolder(root), QFileInfo(root).fileName()});
}

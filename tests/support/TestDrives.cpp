#include "support/TestDrives.h"

#include <QFileInfo>

QList<Drive> TestDrives::drives() const
{
    QList<Drive> mounted;
    for (const Drive& drive : m_drives)
        if (!m_unmounted.contains(drive.root))
            mounted.append(drive);
    return mounted;
}

bool TestDrives::isStillMounted(const Drive& drive) const
{
    return !m_unmounted.contains(drive.root);
}

void TestDrives::add(const QString& root)
{
    m_drives.append({NativePath::fromText(root).absolute(), QFileInfo(root).fileName(), 0});
}

void TestDrives::unmount(const QString& root)
{
    m_unmounted.append(NativePath::fromText(root).absolute());
}

#include "browser/DriveFolders.h"

#include <algorithm>

DriveFolders::DriveFolders(const DriveSource& source, const NativePath& workingFolder)
    : m_source(source), m_workingFolder(workingFolder.absolute())
{
    refresh();
}

QList<Drive> DriveFolders::drives() const
{
    return m_drives;
}

void DriveFolders::refresh()
{
    m_drives = m_source.drives();
}

NativePath DriveFolders::driveOf(const NativePath& path) const
{
    const NativePath folder = path.absolute();
    NativePath best;
    for (const Drive& drive : m_drives) {
        if (drive.root.native().size() > best.native().size() && folder.liesUnder(drive.root))
            best = drive.root;
    }
    return best;
}

bool DriveFolders::isStillMounted(const NativePath& driveRoot) const
{
    const auto drive = std::find_if(m_drives.cbegin(), m_drives.cend(),
                                    [&driveRoot](const Drive& d) { return d.root.sameAs(driveRoot); });
    return drive != m_drives.cend() && m_source.isStillMounted(*drive);
}

NativePath DriveFolders::currentFolder(const NativePath& driveRoot) const
{
    const NativePath root = driveRoot.absolute();
    const auto last = m_lastFolders.constFind(root.key());
    if (last != m_lastFolders.cend())
        return *last;
    if (!m_workingFolder.isEmpty() && driveOf(m_workingFolder).sameAs(root))
        return m_workingFolder;
    return root;
}

void DriveFolders::remember(const NativePath& folder)
{
    const NativePath absolute = folder.absolute();
    const NativePath root = driveOf(absolute);
    if (!root.isEmpty())
        m_lastFolders.insert(root.key(), absolute);
}

#include "browser/DriveFolders.h"

#include "browser/NativePath.h"

#include <utility>

DriveFolders::DriveFolders(const DriveSource& source, QString workingFolder)
    : m_source(source), m_workingFolder(nativeFolder(std::move(workingFolder)))
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

QString DriveFolders::driveOf(const QString& path) const
{
    const QString folder = nativeFolder(path);
    QString best;
    for (const Drive& drive : m_drives) {
        if (drive.root.size() > best.size() && liesUnder(folder, drive.root))
            best = drive.root;
    }
    return best;
}

QString DriveFolders::currentFolder(const QString& driveRoot) const
{
    const QString root = nativeFolder(driveRoot);
    const auto last = m_lastFolders.constFind(pathKey(root));
    if (last != m_lastFolders.cend())
        return *last;
    if (!m_workingFolder.isEmpty() && samePath(driveOf(m_workingFolder), root))
        return m_workingFolder;
    return root;
}

void DriveFolders::remember(const QString& folder)
{
    const QString native = nativeFolder(folder);
    const QString root = driveOf(native);
    if (!root.isEmpty())
        m_lastFolders.insert(pathKey(root), native);
}

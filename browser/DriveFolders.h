#pragma once

#include "browser/DriveSource.h"

#include <QHash>
#include <QList>

// The drives the panes offer and, for each, the folder to return to when the user
// picks it again: the last folder shown on it during this run, before that the
// process's working folder when that lies on it, else its root.
class DriveFolders final
{
public:
    explicit DriveFolders(const DriveSource& source, const NativePath& workingFolder);
    Q_DISABLE_COPY_MOVE(DriveFolders)

    [[nodiscard]] QList<Drive> drives() const;
    // Reads the drives again, e.g. after a volume was mounted.
    void refresh();

    // The root of the drive the path lies on: the longest root that holds it, since
    // volumes can be mounted inside one another. Empty when no drive holds it.
    [[nodiscard]] NativePath driveOf(const NativePath& path) const;
    // Whether the listed drive at this root still holds the volume listed there.
    [[nodiscard]] bool isStillMounted(const NativePath& driveRoot) const;
    [[nodiscard]] NativePath currentFolder(const NativePath& driveRoot) const;
    // Records the folder as the one last shown on its drive.
    void remember(const NativePath& folder);

private:
    const DriveSource& m_source;
    NativePath m_workingFolder;
    QList<Drive> m_drives;
    QHash<NativePath::Native, NativePath> m_lastFolders; // by key() of the drive's root
};

#pragma once

#include "browser/DriveSource.h"
#include "browser/VolumeProbe.h"

class FileSystemAsker;

// The machine's own drives: the drive letters on Windows; elsewhere the mounted
// volumes that hold the user's files, "/" first. The list comes from what the system
// knows without asking the volumes (the mount table, the drive letters); what only
// a volume can tell (its name, whether it answers) is asked on threads of their own,
// for a moment only. A volume that does not answer is listed all the same, and
// counts as no longer mounted, which the panes treat as a drive that cannot be read.
class SystemDriveSource final : public DriveSource
{
public:
    explicit SystemDriveSource(FileSystemAsker& asker);
    Q_DISABLE_COPY_MOVE(SystemDriveSource)

    [[nodiscard]] QList<Drive> drives() const override;
    [[nodiscard]] bool isStillMounted(const Drive& drive) const override;

private:
    // Asking is no change of the source.
    mutable VolumeProbe m_probe;
};

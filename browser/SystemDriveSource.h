#pragma once

#include "browser/DriveSource.h"

// The machine's own drives: the drive letters on Windows; elsewhere the mounted
// volumes that hold the user's files, "/" first.
class SystemDriveSource final : public DriveSource
{
public:
    SystemDriveSource() = default;
    Q_DISABLE_COPY_MOVE(SystemDriveSource)

    [[nodiscard]] QList<Drive> drives() const override;
    [[nodiscard]] bool isStillMounted(const Drive& drive) const override;
};

#pragma once

#include "browser/DriveSource.h"

// Drives chosen by the test: usually folders inside a temporary folder, and
// sometimes one whose root does not exist, like a drive without a medium.
class FakeDriveSource final : public DriveSource
{
public:
    [[nodiscard]] QList<Drive> drives() const override;
    [[nodiscard]] bool isStillMounted(const Drive& drive) const override;

    QList<Drive> list;
    // Roots whose volume went away: listed no more, and no longer the volume that
    // was listed there before.
    QList<NativePath> unmounted;
};

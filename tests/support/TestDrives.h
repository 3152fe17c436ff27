#pragma once

#include "browser/DriveSource.h"

#include <QString>

// Drives made up by a test, usually folders of a temporary folder; a drive whose
// root does not exist stands for a removable drive without a medium.
class TestDrives final : public DriveSource
{
public:
    TestDrives() = default;
    Q_DISABLE_COPY_MOVE(TestDrives)

    [[nodiscard]] QList<Drive> drives() const override;
    [[nodiscard]] bool isStillMounted(const Drive& drive) const override;
    // Adds a drive whose root is the given folder, labelled with its name.
    void add(const QString& root);
    // The volume at the root goes away, as `umount -l` leaves it: the root stays a
    // readable folder, but the drive is listed no more.
    void unmount(const QString& root);

private:
    QList<Drive> m_drives;
    QList<NativePath> m_unmounted;
};

#pragma once

#include "base/NativePath.h"

#include <QComboBox>

class DriveFolders;

// The drive pane: a drop-down of the drives. changed() is raised, synchronously,
// whenever the selected drive changes, be it by the user or by setDrive(), and
// never for a selection that stays the same.
class DrivePane final : public QComboBox
{
    Q_OBJECT

public:
    explicit DrivePane(DriveFolders& drives, QWidget* parent);
    Q_DISABLE_COPY_MOVE(DrivePane)

    // The selected drive's root, which FolderPane::moveToDrive() accepts.
    [[nodiscard]] NativePath drive() const;
    // Selects the drive the folder lies on. A path on no known drive changes nothing.
    void setDrive(const NativePath& folderPath);

    // Reads the drives again, keeping the selection, so that volumes mounted or
    // unmounted meanwhile come and go.
    void refresh();
    // Refreshes first.
    void showPopup() override;
    // Whether the list of drives is open.
    [[nodiscard]] bool isListShown() const;

signals:
    void changed();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void reportListShownChanged();
    void fillDrives();
    void selectQuietly(const NativePath& root);
    [[nodiscard]] int indexOf(const NativePath& root) const;
    void onIndexChanged();
    void selectInList();

    DriveFolders& m_drives;
    bool m_filling = false;
};

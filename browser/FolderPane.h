#pragma once

#include "base/NativePath.h"

#include <QTreeWidget>

class DriveFolders;

// The folder pane: the folder shown, its ancestors above it and its subfolders
// below, indented. A double-click or Enter opens a folder. changed() is raised,
// synchronously, whenever the folder shown changes, by the user or by the program.
class FolderPane final : public QTreeWidget
{
    Q_OBJECT

public:
    explicit FolderPane(DriveFolders& drives, QWidget* parent);
    Q_DISABLE_COPY_MOVE(FolderPane)

    [[nodiscard]] NativePath path() const;
    // Moves to the drive's current folder. Fails, changing nothing, when the drive
    // cannot be read (a missing root, a removable drive without a medium, a volume
    // unmounted since the drives were listed).
    [[nodiscard]] bool moveToDrive(const NativePath& driveRoot);
    // Shows the folder; one that cannot be read shows just its ancestors.
    void setPath(const NativePath& folder);

signals:
    void changed();

protected:
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void showFolder();
    QTreeWidgetItem* addEntry(QTreeWidgetItem* parent, const QString& text, const NativePath& folder,
                              bool open);
    void openItem(const QTreeWidgetItem* item);

    DriveFolders& m_drives;
    NativePath m_path;
};

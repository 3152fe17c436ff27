#pragma once

#include "base/NativePath.h"

#include <QTreeWidget>

class DriveFolders;
class FileSystemAsker;
struct FolderEntry;

// The folder pane: the folder shown, its ancestors above it and its subfolders
// below, indented. A double-click or Enter opens a folder. changed() is raised,
// synchronously, whenever the folder shown changes, by the user or by the program.
// A folder whose file system does not answer at once is shown all the same, with an
// entry that says the pane waits; its subfolders come when the answer does, unless
// another folder is shown by then.
class FolderPane final : public QTreeWidget
{
    Q_OBJECT

public:
    FolderPane(DriveFolders& drives, FileSystemAsker& asker, QWidget* parent);
    Q_DISABLE_COPY_MOVE(FolderPane)

    [[nodiscard]] NativePath path() const;
    // Moves to the drive's current folder. Fails, changing nothing, when the drive
    // cannot be read (a missing root, a removable drive without a medium, a volume
    // unmounted since the drives were listed) or does not answer at once.
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
    void showSubfolders(QTreeWidgetItem* shown, const QList<FolderEntry>& children);
    void showWaiting(QTreeWidgetItem* shown);
    QTreeWidgetItem* addEntry(QTreeWidgetItem* parent, const QString& text, const NativePath& folder,
                              bool open);
    void openItem(const QTreeWidgetItem* item);

    DriveFolders& m_drives;
    FileSystemAsker& m_asker;
    NativePath m_path;
    // Counts the folders shown, so that a late answer for one no longer shown is dropped.
    quint64 m_shown = 0;
};

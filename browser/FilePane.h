#pragma once

#include "base/NativePath.h"

#include <QListWidget>

#include <functional>

class DriveFolders;
class FileSystemAsker;
struct FolderEntry;

// The file pane: the text files of one folder, in reading order, with extended
// multiple selection. Each entry shows its name's text and keeps the name's exact
// native form. The current row is the entry last clicked or double-clicked.
// pathChanged() is raised, synchronously, when setPath() moves it to another folder.
// A folder whose file system does not answer at once lists nothing but an entry that
// says the pane waits, until the answer comes.
class FilePane final : public QListWidget
{
    Q_OBJECT

public:
    FilePane(const DriveFolders& drives, FileSystemAsker& asker, QWidget* parent);
    Q_DISABLE_COPY_MOVE(FilePane)

    [[nodiscard]] NativePath path() const;
    // Lists the folder's files again, even when it is the folder already listed; a
    // folder that cannot be read gives an empty list.
    void setPath(const NativePath& folder);

    [[nodiscard]] int fileCount() const;
    // The bare name of the file in the row, exactly as the file system holds it.
    [[nodiscard]] NativePath fileName(int row) const;
    [[nodiscard]] bool isSelected(int row) const;
    // Gives `take` those of the paths that a pane would list (regular ".txt" files,
    // never folders): at once when their file system answers in time, else when it
    // answers, on the context's thread, unless the context is gone by then.
    void takeListed(const QList<NativePath>& paths, QObject* context,
                    const std::function<void(const QList<NativePath>&)>& take);

signals:
    void pathChanged();
    void entryDoubleClicked();

protected:
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    void showFiles(const QList<FolderEntry>& files);
    void showWaiting();

    const DriveFolders& m_drives;
    FileSystemAsker& m_asker;
    NativePath m_path;
    // Counts the listings, so that a late answer for one no longer wanted is dropped.
    quint64 m_listed = 0;
    // The exact name of each entry, row for row: the entries are never reordered.
    QList<NativePath> m_names;
};

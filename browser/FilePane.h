#pragma once

#include "base/NativePath.h"

#include <QListWidget>

// The file pane: the text files of one folder, in reading order, with extended
// multiple selection. Each entry shows its name's text and keeps the name's exact
// native form. The current row is the entry last clicked or double-clicked.
// pathChanged() is raised, synchronously, when setPath() moves it to another folder.
class FilePane final : public QListWidget
{
    Q_OBJECT

public:
    explicit FilePane(QWidget* parent);
    Q_DISABLE_COPY_MOVE(FilePane)

    [[nodiscard]] NativePath path() const;
    // Lists the folder's files again, even when it is the folder already listed; a
    // folder that cannot be read gives an empty list.
    void setPath(const NativePath& folder);

    [[nodiscard]] int fileCount() const;
    // The bare name of the file in the row, exactly as the file system holds it.
    [[nodiscard]] NativePath fileName(int row) const;
    [[nodiscard]] bool isSelected(int row) const;

signals:
    void pathChanged();
    void entryDoubleClicked();

protected:
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    NativePath m_path;
    // The exact name of each entry, row for row: the entries are never reordered.
    QList<NativePath> m_names;
};

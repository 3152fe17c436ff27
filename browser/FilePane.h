#pragma once

#include <QListWidget>

// The file pane: the bare names of the text files of one folder, in natural order,
// with extended multiple selection. pathChanged() is raised, synchronously, when
// setPath() moves it to another folder.
class FilePane final : public QListWidget
{
    Q_OBJECT

public:
    explicit FilePane(QWidget* parent);
    Q_DISABLE_COPY_MOVE(FilePane)

    [[nodiscard]] QString path() const;
    // Lists the folder's files again, even when it is the folder already listed; a
    // folder that cannot be read gives an empty list.
    void setPath(const QString& folder);

    [[nodiscard]] int listCount() const;
    [[nodiscard]] QString list(int i) const;
    [[nodiscard]] bool selected(int i) const;
    // The current entry: the one last clicked or double-clicked; -1 when none.
    [[nodiscard]] int listIndex() const;

signals:
    void pathChanged();
    void entryDoubleClicked();

protected:
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    QString m_path;
};

#pragma once

#include "base/NativePath.h"

#include <QListView>

// The merge list as the user sees it: one entry selected at most, long paths cut
// off at the right edge, and text files dropped from a file manager taken in.
class MergeListView final : public QListView
{
    Q_OBJECT

public:
    explicit MergeListView(QWidget* parent);
    Q_DISABLE_COPY_MOVE(MergeListView)

    // The selected row, or -1 when nothing is selected.
    [[nodiscard]] int selectedRow() const;
    // Selects the row; -1 leaves nothing selected.
    void selectRow(int row);

signals:
    // Local files dropped on the list, in the order dropped.
    void filesDropped(const QList<NativePath>& paths);

protected:
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;
};

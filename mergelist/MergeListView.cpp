#include "mergelist/MergeListView.h"

#include <QDropEvent>
#include <QMimeData>
#include <QUrl>

namespace {

QList<NativePath> localFiles(const QMimeData* data)
{
    QList<NativePath> paths;
    if (!data || !data->hasUrls())
        return paths;
    for (const QUrl& url : data->urls())
        if (url.isLocalFile())
            paths << NativePath::fromLocalFile(url).absolute();
    return paths;
}

} // namespace

MergeListView::MergeListView(QWidget* parent) : QListView(parent)
{
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setTextElideMode(Qt::ElideNone);
    setUniformItemSizes(true);
    setAcceptDrops(true);
    setDragDropMode(QAbstractItemView::DropOnly);
    setDropIndicatorShown(false);
}

// Without a model the view has no selection model either: it then shows nothing,
// and nothing can be selected.
int MergeListView::selectedRow() const
{
    if (selectionModel() == nullptr)
        return -1;
    const QModelIndexList rows = selectionModel()->selectedRows();
    return rows.isEmpty() ? -1 : rows.first().row();
}

void MergeListView::selectRow(int row)
{
    if (selectionModel() == nullptr)
        return;
    if (row < 0) {
        selectionModel()->clearSelection();
        return;
    }
    const QModelIndex index = model()->index(row, 0);
    selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect);
    scrollTo(index);
}

void MergeListView::dragEnterEvent(QDragEnterEvent* event)
{
    if (localFiles(event->mimeData()).isEmpty())
        return event->ignore();
    event->acceptProposedAction();
}

void MergeListView::dragMoveEvent(QDragMoveEvent* event)
{
    if (localFiles(event->mimeData()).isEmpty())
        return event->ignore();
    event->acceptProposedAction();
}

void MergeListView::dropEvent(QDropEvent* event)
{
    const QList<NativePath> paths = localFiles(event->mimeData());
    if (paths.isEmpty())
        return event->ignore();
    event->acceptProposedAction();
    emit filesDropped(paths);
}

#include "browser/FilePane.h"

#include "browser/FolderListing.h"
#include "browser/NativePath.h"

#include <QMouseEvent>

FilePane::FilePane(QWidget* parent) : QListWidget(parent)
{
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    // Folders may hold tens of thousands of files: equal rows spare the view from
    // measuring each name.
    setUniformItemSizes(true);
}

QString FilePane::path() const
{
    return m_path;
}

void FilePane::setPath(const QString& folder)
{
    const QString native = nativeFolder(folder);
    const bool moved = !samePath(native, m_path);
    m_path = native;
    clear();
    addItems(matchingFileNames(m_path, textFilePattern));
    if (moved)
        emit pathChanged();
}

int FilePane::listCount() const
{
    return count();
}

QString FilePane::list(int i) const
{
    const QListWidgetItem* entry = item(i);
    return entry == nullptr ? QString() : entry->text();
}

bool FilePane::selected(int i) const
{
    const QListWidgetItem* entry = item(i);
    return entry != nullptr && entry->isSelected();
}

int FilePane::listIndex() const
{
    return currentRow();
}

void FilePane::mouseDoubleClickEvent(QMouseEvent* event)
{
    QListWidget::mouseDoubleClickEvent(event);
    const QModelIndex entry = indexAt(event->position().toPoint());
    if (!entry.isValid())
        return;
    // The press before the double-click normally made it current already; a
    // double-click that arrives alone must still name its entry.
    if (currentIndex() != entry)
        selectionModel()->setCurrentIndex(entry, QItemSelectionModel::NoUpdate);
    emit entryDoubleClicked();
}

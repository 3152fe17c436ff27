#include "browser/FilePane.h"

#include "browser/FolderListing.h"

#include <QMouseEvent>

FilePane::FilePane(QWidget* parent) : QListWidget(parent)
{
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    // Folders may hold tens of thousands of files: equal rows spare the view from
    // measuring each name.
    setUniformItemSizes(true);
}

NativePath FilePane::path() const
{
    return m_path;
}

void FilePane::setPath(const NativePath& folder)
{
    const NativePath absolute = folder.absolute();
    const bool moved = !absolute.sameAs(m_path);
    m_path = absolute;
    clear();
    m_names.clear();
    QStringList texts;
    const QList<FolderEntry> files = textFiles(m_path);
    for (const FolderEntry& file : files) {
        texts.append(file.text);
        m_names.append(file.name);
    }
    // In one batch: one item at a time costs the view a notification each.
    addItems(texts);
    if (moved)
        emit pathChanged();
}

int FilePane::fileCount() const
{
    return count();
}

NativePath FilePane::fileName(int row) const
{
    return m_names.value(row);
}

bool FilePane::isSelected(int row) const
{
    const QListWidgetItem* entry = item(row);
    return entry != nullptr && entry->isSelected();
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

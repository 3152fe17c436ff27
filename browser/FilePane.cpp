#include "browser/FilePane.h"

#include "base/FileSystemAsker.h"
#include "browser/BrowserTexts.h"
#include "browser/DriveFolders.h"
#include "browser/FolderListing.h"

#include <QMouseEvent>

FilePane::FilePane(const DriveFolders& drives, FileSystemAsker& asker, QWidget* parent)
    : QListWidget(parent), m_drives(drives), m_asker(asker)
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
    viewport()->unsetCursor();
    const quint64 listedNow = ++m_listed;
    const auto late = [this, listedNow](const QList<FolderEntry>& files) {
        if (listedNow != m_listed)
            return;
        clear();
        m_names.clear();
        viewport()->unsetCursor();
        showFiles(files);
    };
    const std::optional<QList<FolderEntry>> files = m_asker.ask<QList<FolderEntry>>(
        m_drives.driveOf(m_path), [absolute] { return textFiles(absolute); }, this, late);
    if (files)
        showFiles(*files);
    else
        showWaiting();
    if (moved)
        emit pathChanged();
}

void FilePane::showFiles(const QList<FolderEntry>& files)
{
    QStringList texts;
    for (const FolderEntry& file : files) {
        texts.append(file.text);
        m_names.append(file.name);
    }
    // In one batch: one item at a time costs the view a notification each.
    addItems(texts);
}

// Said in the pane, where a screen reader finds it too, and by the pointer over it;
// the entry is no file and cannot be picked.
void FilePane::showWaiting()
{
    auto* waiting = new QListWidgetItem(browsertexts::waiting(), this);
    waiting->setFlags(Qt::NoItemFlags);
    viewport()->setCursor(Qt::BusyCursor);
}

int FilePane::fileCount() const
{
    return int(m_names.size());
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

void FilePane::takeListed(const QList<NativePath>& paths, QObject* context,
                          const std::function<void(const QList<NativePath>&)>& take)
{
    if (paths.isEmpty())
        return;
    const auto listed = [paths] {
        QList<NativePath> files;
        for (const NativePath& path : paths) {
            if (isListedTextFile(path))
                files << path;
        }
        return files;
    };
    // Dropped files come from one folder, on one volume.
    const std::optional<QList<NativePath>> files =
        m_asker.ask<QList<NativePath>>(m_drives.driveOf(paths.first()), listed, context, take);
    if (files)
        take(*files);
}

void FilePane::mouseDoubleClickEvent(QMouseEvent* event)
{
    QListWidget::mouseDoubleClickEvent(event);
    const QModelIndex entry = indexAt(event->position().toPoint());
    if (!entry.isValid() || entry.row() >= fileCount())
        return;
    // The press before the double-click normally made it current already; a
    // double-click that arrives alone must still name its entry.
    if (currentIndex() != entry)
        selectionModel()->setCurrentIndex(entry, QItemSelectionModel::NoUpdate);
    emit entryDoubleClicked();
}

#include "browser/FolderPane.h"

#include "base/FileSystemAsker.h"
#include "browser/BrowserTexts.h"
#include "browser/DriveFolders.h"
#include "browser/FolderListing.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QStyle>

namespace {

constexpr int FolderRole = Qt::UserRole;

// A root is shown whole ("/", "C:\"), any other folder by its own name.
QString entryText(const NativePath& folder)
{
    const NativePath name = folder.fileName();
    return name.isEmpty() ? folder.display() : name.display();
}

NativePath folderOf(const QTreeWidgetItem* item)
{
    return NativePath::fromNative(item->data(0, FolderRole).value<NativePath::Native>());
}

} // namespace

FolderPane::FolderPane(DriveFolders& drives, FileSystemAsker& asker, QWidget* parent)
    : QTreeWidget(parent), m_drives(drives), m_asker(asker)
{
    setHeaderHidden(true);
    setColumnCount(1);
    // The tree is rebuilt for every folder shown: the user opens folders instead of
    // expanding them.
    setRootIsDecorated(false);
    setItemsExpandable(false);
    setExpandsOnDoubleClick(false);
    setUniformRowHeights(true);
    // The pane is narrow; a small step still shows the nesting.
    setIndentation(8);
    setSelectionMode(QAbstractItemView::SingleSelection);
}

NativePath FolderPane::path() const
{
    return m_path;
}

bool FolderPane::moveToDrive(const NativePath& driveRoot)
{
    const NativePath root = driveRoot.absolute();
    if (!m_drives.isStillMounted(root))
        return false;
    // A folder remembered on this drive may have been removed since: its nearest
    // ancestor that still exists keeps the drive reachable. A drive that answers only
    // later counts, like one that does not answer at all, as one that cannot be read.
    const NativePath remembered = m_drives.currentFolder(root);
    const std::optional<NativePath> folder = m_asker.ask<NativePath>(
        root, [remembered, root] { return nearestReadableFolder(remembered, root); }, this,
        [](const NativePath&) {});
    if (!folder || folder->isEmpty())
        return false;
    setPath(*folder);
    return true;
}

void FolderPane::setPath(const NativePath& folder)
{
    const NativePath absolute = folder.absolute();
    const bool moved = !absolute.sameAs(m_path);
    m_path = absolute;
    m_drives.remember(m_path);
    showFolder();
    if (moved)
        emit changed();
}

void FolderPane::mouseDoubleClickEvent(QMouseEvent* event)
{
    const QTreeWidgetItem* item = itemAt(event->position().toPoint());
    if (item == nullptr) {
        QTreeWidget::mouseDoubleClickEvent(event);
        return;
    }
    event->accept();
    openItem(item);
}

void FolderPane::keyPressEvent(QKeyEvent* event)
{
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    if (!enter || currentItem() == nullptr) {
        QTreeWidget::keyPressEvent(event);
        return;
    }
    event->accept();
    openItem(currentItem());
}

void FolderPane::showFolder()
{
    clear();
    viewport()->unsetCursor();
    const quint64 shownNow = ++m_shown;
    QTreeWidgetItem* parent = nullptr;
    const QList<NativePath> ancestors = folderAncestors(m_path);
    for (const NativePath& ancestor : ancestors)
        parent = addEntry(parent, entryText(ancestor), ancestor, true);
    if (parent == nullptr)
        return;
    const NativePath folder = m_path;
    // The items live until the next folder is shown, which a late answer then misses.
    const auto late = [this, shownNow, parent](const QList<FolderEntry>& children) {
        if (shownNow != m_shown)
            return;
        viewport()->unsetCursor();
        delete parent->takeChild(0);
        showSubfolders(parent, children);
    };
    const std::optional<QList<FolderEntry>> children = m_asker.ask<QList<FolderEntry>>(
        m_drives.driveOf(folder), [folder] { return subfolders(folder); }, this, late);
    if (children)
        showSubfolders(parent, *children);
    else
        showWaiting(parent);
    setCurrentItem(parent);
    scrollToItem(parent);
}

void FolderPane::showSubfolders(QTreeWidgetItem* shown, const QList<FolderEntry>& children)
{
    const NativePath folder = folderOf(shown);
    for (const FolderEntry& child : children)
        addEntry(shown, child.text, folder.child(child.name), false);
    expandAll();
}

// Said in the pane, where a screen reader finds it too, and by the pointer over it.
void FolderPane::showWaiting(QTreeWidgetItem* shown)
{
    auto* waiting = new QTreeWidgetItem(shown);
    waiting->setText(0, browsertexts::waiting());
    waiting->setFlags(Qt::NoItemFlags);
    expandAll();
    viewport()->setCursor(Qt::BusyCursor);
}

QTreeWidgetItem* FolderPane::addEntry(QTreeWidgetItem* parent, const QString& text, const NativePath& folder,
                                      bool open)
{
    auto* item = parent == nullptr ? new QTreeWidgetItem(this) : new QTreeWidgetItem(parent);
    item->setText(0, text);
    item->setToolTip(0, folder.display());
    item->setData(0, FolderRole, folder.native());
    item->setIcon(0, style()->standardIcon(open ? QStyle::SP_DirOpenIcon : QStyle::SP_DirClosedIcon));
    return item;
}

void FolderPane::openItem(const QTreeWidgetItem* item)
{
    // The entry that says the pane waits opens nothing.
    if (!item->data(0, FolderRole).isValid())
        return;
    // Copied first: showing the folder deletes the item.
    const NativePath folder = folderOf(item);
    setPath(folder);
}

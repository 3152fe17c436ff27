#include "browser/FolderPane.h"

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

FolderPane::FolderPane(DriveFolders& drives, QWidget* parent) : QTreeWidget(parent), m_drives(drives)
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
    NativePath folder = m_drives.currentFolder(root);
    // A folder remembered on this drive may have been removed since: fall back to
    // its nearest ancestor that still exists, so the drive stays reachable.
    while (!isReadableFolder(folder)) {
        if (folder.sameAs(root) || !folder.liesUnder(root))
            return false;
        folder = folder.parent();
    }
    setPath(folder);
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
    QTreeWidgetItem* parent = nullptr;
    const QList<NativePath> ancestors = folderAncestors(m_path);
    for (const NativePath& ancestor : ancestors)
        parent = addEntry(parent, entryText(ancestor), ancestor, true);
    if (parent == nullptr)
        return;
    const QList<FolderEntry> children = subfolders(m_path);
    for (const FolderEntry& child : children)
        addEntry(parent, child.text, m_path.child(child.name), false);
    expandAll();
    setCurrentItem(parent);
    scrollToItem(parent);
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
    // Copied first: showing the folder deletes the item.
    const NativePath folder = folderOf(item);
    setPath(folder);
}

#include "browser/FolderPane.h"

#include "browser/DriveFolders.h"
#include "browser/FolderListing.h"
#include "browser/NativePath.h"

#include <QDir>
#include <QFileInfo>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QStyle>

namespace {

constexpr int FolderRole = Qt::UserRole;

// A root is shown whole ("/", "C:\"), any other folder by its own name.
QString entryText(const QString& folder)
{
    const QString name = QFileInfo(QDir::fromNativeSeparators(folder)).fileName();
    return name.isEmpty() ? folder : name;
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

QString FolderPane::path() const
{
    return m_path;
}

bool FolderPane::moveToDrive(const QString& driveRoot)
{
    const QString root = nativeFolder(driveRoot);
    QString folder = m_drives.currentFolder(root);
    // A folder remembered on this drive may have been removed since: fall back to
    // its nearest ancestor that still exists, so the drive stays reachable.
    while (!isReadableFolder(folder)) {
        if (samePath(folder, root) || !liesUnder(folder, root))
            return false;
        folder = nativeFolder(QFileInfo(QDir::fromNativeSeparators(folder)).path());
    }
    setPath(folder);
    return true;
}

void FolderPane::setPath(const QString& folder)
{
    const QString native = nativeFolder(folder);
    const bool moved = !samePath(native, m_path);
    m_path = native;
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
    const QStringList ancestors = folderAncestors(m_path);
    for (const QString& ancestor : ancestors)
        parent = addEntry(parent, entryText(ancestor), ancestor, true);
    if (parent == nullptr)
        return;
    const QStringList subfolders = subfolderNames(m_path);
    for (const QString& name : subfolders)
        addEntry(parent, name, childPath(m_path, name), false);
    expandAll();
    setCurrentItem(parent);
    scrollToItem(parent);
}

QTreeWidgetItem* FolderPane::addEntry(QTreeWidgetItem* parent, const QString& text, const QString& folder,
                                      bool open)
{
    auto* item = parent == nullptr ? new QTreeWidgetItem(this) : new QTreeWidgetItem(parent);
    item->setText(0, text);
    item->setToolTip(0, folder);
    item->setData(0, FolderRole, folder);
    item->setIcon(0, style()->standardIcon(open ? QStyle::SP_DirOpenIcon : QStyle::SP_DirClosedIcon));
    return item;
}

void FolderPane::openItem(const QTreeWidgetItem* item)
{
    // Copied first: showing the folder deletes the item.
    const QString folder = item->data(0, FolderRole).toString();
    setPath(folder);
}

#include "browser/DrivePane.h"

#include "browser/DriveFolders.h"
#include "browser/DrivePaneAccessible.h"

#include <QAbstractItemView>
#include <QAccessible>
#include <QScopedValueRollback>

DrivePane::DrivePane(DriveFolders& drives, QWidget* parent) : QComboBox(parent), m_drives(drives)
{
    // Long mount points would otherwise make the pane grow past its column.
    setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    setMinimumContentsLength(8);
    fillDrives();
    selectInList();
    connect(this, &QComboBox::currentIndexChanged, this, &DrivePane::onIndexChanged);
    // The list's popup is watched rather than showPopup() and hidePopup(): the system
    // closes it too, e.g. when the window loses activation.
    view()->window()->installEventFilter(this);
    // Qt ignores an installed factory the second time.
    QAccessible::installFactory(&DrivePaneAccessible::create);
    // A screen reader that was running may have read the box while it was built,
    // before it was a drive pane, and Qt keeps what it made then: drop that, so
    // that the next reader gets the pane's own.
    QAccessibleInterface* readable = QAccessible::queryAccessibleInterface(this);
    if (readable != nullptr && dynamic_cast<DrivePaneAccessible*>(readable) == nullptr)
        QAccessible::deleteAccessibleInterface(QAccessible::uniqueId(readable));
}

NativePath DrivePane::drive() const
{
    return NativePath::fromNative(currentData().value<NativePath::Native>());
}

void DrivePane::setDrive(const NativePath& folderPath)
{
    const int index = indexOf(m_drives.driveOf(folderPath));
    if (index < 0)
        return;
    // Raises changed() through currentIndexChanged, and nothing when already selected.
    setCurrentIndex(index);
}

void DrivePane::refresh()
{
    const NativePath selected = drive();
    m_drives.refresh();
    fillDrives();
    selectQuietly(selected);
    selectInList();
}

void DrivePane::showPopup()
{
    refresh();
    QComboBox::showPopup();
}

bool DrivePane::isListShown() const
{
    // The popup's own visibility: the list inside it is marked hidden only after the
    // popup has told that it hides, and a screen reader asks at that moment.
    return view()->window()->isVisible();
}

bool DrivePane::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == view()->window() && (event->type() == QEvent::Show || event->type() == QEvent::Hide))
        reportListShownChanged();
    return QComboBox::eventFilter(watched, event);
}

void DrivePane::reportListShownChanged()
{
    // Qt 6.4's combo box tells nothing of its list opening or closing. Bridges that
    // pass expanded changes on announce this one; Qt 6.4's AT-SPI bridge passes on
    // only checked, active and enabled, so there a screen reader reads the state when
    // it asks (state() answers from the popup itself).
    QAccessible::State changed;
    changed.expanded = true;
    QAccessibleStateChangeEvent event(this, changed);
    QAccessible::updateAccessibility(&event);
}

void DrivePane::fillDrives()
{
    const QScopedValueRollback quiet(m_filling, true);
    clear();
    const QList<Drive> drives = m_drives.drives();
    for (const Drive& drive : drives)
        addItem(drive.label, drive.root.native());
    // The closed pane cuts long labels; the open list shows them whole.
    view()->setMinimumWidth(view()->sizeHintForColumn(0) + view()->frameWidth() * 2);
}

int DrivePane::indexOf(const NativePath& root) const
{
    return root.isEmpty() ? -1 : findData(root.native());
}

void DrivePane::selectQuietly(const NativePath& root)
{
    int index = indexOf(root);
    // A volume unmounted meanwhile: its folders now lie on the drive that held its
    // mount point, so select that one; the folder pane shows the same place still.
    if (index < 0)
        index = indexOf(m_drives.driveOf(root));
    if (index < 0)
        return;
    const QScopedValueRollback quiet(m_filling, true);
    setCurrentIndex(index);
}

void DrivePane::onIndexChanged()
{
    selectInList();
    if (!m_filling)
        emit changed();
}

void DrivePane::selectInList()
{
    // The list of drives shows the selected one as selected while it is closed too,
    // for a screen reader reads the selection there.
    view()->selectionModel()->setCurrentIndex(model()->index(currentIndex(), modelColumn()),
                                              QItemSelectionModel::ClearAndSelect);
}

#include "browser/DrivePane.h"

#include "browser/DriveFolders.h"

#include <QScopedValueRollback>

DrivePane::DrivePane(DriveFolders& drives, QWidget* parent) : QComboBox(parent), m_drives(drives)
{
    // Long mount points would otherwise make the pane grow past its column.
    setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    setMinimumContentsLength(8);
    fillDrives();
    connect(this, &QComboBox::currentIndexChanged, this, &DrivePane::onIndexChanged);
}

QString DrivePane::drive() const
{
    return currentData().toString();
}

void DrivePane::setDrive(const QString& folderPath)
{
    const QString root = m_drives.driveOf(folderPath);
    const int index = findData(root);
    if (index < 0)
        return;
    // Raises changed() through currentIndexChanged, and nothing when already selected.
    setCurrentIndex(index);
}

void DrivePane::showPopup()
{
    const QString selected = drive();
    m_drives.refresh();
    fillDrives();
    selectQuietly(selected);
    QComboBox::showPopup();
}

void DrivePane::fillDrives()
{
    const QScopedValueRollback quiet(m_filling, true);
    clear();
    const QList<Drive> drives = m_drives.drives();
    for (const Drive& drive : drives)
        addItem(drive.label, drive.root);
}

void DrivePane::selectQuietly(const QString& root)
{
    int index = findData(root);
    // A volume unmounted meanwhile: its folders now lie on the drive that held its
    // mount point, so select that one; the folder pane shows the same place still.
    if (index < 0)
        index = findData(m_drives.driveOf(root));
    if (index < 0)
        return;
    const QScopedValueRollback quiet(m_filling, true);
    setCurrentIndex(index);
}

void DrivePane::onIndexChanged()
{
    if (!m_filling)
        emit changed();
}

#include "browser/DrivePaneAccessible.h"

#include "browser/DrivePane.h"

#include <QAbstractItemView>

DrivePaneAccessible::DrivePaneAccessible(DrivePane* pane) : QAccessibleWidget(pane, QAccessible::ComboBox) {}

QString DrivePaneAccessible::text(QAccessible::Text t) const
{
    const auto* pane = static_cast<const DrivePane*>(widget());
    if (t == QAccessible::Name)
        return pane->accessibleName();
    if (t == QAccessible::Value)
        return pane->currentText();
    return QAccessibleWidget::text(t);
}

QAccessible::State DrivePaneAccessible::state() const
{
    QAccessible::State state = QAccessibleWidget::state();
    const bool shown = static_cast<const DrivePane*>(widget())->isListShown();
    state.expandable = true;
    state.expanded = shown;
    state.collapsed = !shown;
    return state;
}

int DrivePaneAccessible::childCount() const
{
    return 1;
}

QAccessibleInterface* DrivePaneAccessible::child(int index) const
{
    if (index != 0)
        return nullptr;
    return QAccessible::queryAccessibleInterface(static_cast<const DrivePane*>(widget())->view());
}

int DrivePaneAccessible::indexOfChild(const QAccessibleInterface* child) const
{
    return child != nullptr && child == this->child(0) ? 0 : -1;
}

QStringList DrivePaneAccessible::actionNames() const
{
    return QStringList{showMenuAction()} + QAccessibleWidget::actionNames();
}

void DrivePaneAccessible::doAction(const QString& actionName)
{
    if (actionName == showMenuAction()) {
        static_cast<DrivePane*>(widget())->showPopup();
        return;
    }
    QAccessibleWidget::doAction(actionName);
}

QAccessibleInterface* DrivePaneAccessible::create(const QString& /*className*/, QObject* object)
{
    auto* pane = qobject_cast<DrivePane*>(object);
    return pane == nullptr ? nullptr : new DrivePaneAccessible(pane);
}

#pragma once

#include <QAccessibleWidget>

class DrivePane;

// How assistive technology reads the drive pane: by its accessible name, with the
// selected drive as its value and as the selected entry of its one child, the list
// of drives, expanded or collapsed as that list is open or closed, and an action that
// opens the list. Qt's own combo-box interface names the pane by its selected text
// alone on Linux.
class DrivePaneAccessible final : public QAccessibleWidget
{
public:
    explicit DrivePaneAccessible(DrivePane* pane);

    [[nodiscard]] QString text(QAccessible::Text t) const override;
    [[nodiscard]] QAccessible::State state() const override;
    [[nodiscard]] int childCount() const override;
    [[nodiscard]] QAccessibleInterface* child(int index) const override;
    [[nodiscard]] int indexOfChild(const QAccessibleInterface* child) const override;
    [[nodiscard]] QStringList actionNames() const override;
    void doAction(const QString& actionName) override;

    // For QAccessible::installFactory(): the interface of a drive pane, else none.
    [[nodiscard]] static QAccessibleInterface* create(const QString& className, QObject* object);
};

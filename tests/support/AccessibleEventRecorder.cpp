#include "support/AccessibleEventRecorder.h"

#include <QAccessible>
#include <QAccessibleBridge>

namespace {

class Bridge final : public QAccessibleBridge
{
public:
    void setRootObject(QAccessibleInterface* /*root*/) override {}

    void notifyAccessibilityUpdate(QAccessibleEvent* event) override
    {
        if (event->type() != QAccessible::StateChanged)
            return;
        if (!static_cast<QAccessibleStateChangeEvent*>(event)->changedStates().expanded)
            return;
        const QAccessibleInterface* readable = event->accessibleInterface();
        AccessibleEventRecorder::expandedChanges().append(
            {event->object(), readable != nullptr && readable->state().expanded});
    }
};

} // namespace

QAccessibleBridge* AccessibleEventRecorder::create(const QString& /*key*/)
{
    // Qt keeps the bridges it is given for the life of the process and never deletes them.
    static Bridge bridge;
    return &bridge;
}

QList<AccessibleEventRecorder::ExpandedChange>& AccessibleEventRecorder::expandedChanges()
{
    static QList<ExpandedChange> changes;
    return changes;
}

#pragma once

#include <QAccessibleBridgePlugin>
#include <QList>

// Takes the accessibility events the program sends as the bridge to a screen reader
// would. Qt hands them to bridge plugins even while no reader runs, whereas an update
// handler hears nothing then, and the offscreen platform never has a reader. A test
// program takes the recorder in with Q_IMPORT_PLUGIN(AccessibleEventRecorder).
class AccessibleEventRecorder final : public QAccessibleBridgePlugin
{
    Q_OBJECT
    Q_PLUGIN_METADATA(IID QAccessibleBridgeFactoryInterface_iid FILE "AccessibleEventRecorder.json")

public:
    [[nodiscard]] QAccessibleBridge* create(const QString& key) override;

    struct ExpandedChange
    {
        QObject* object;
        // The expanded state that the object's interface reported as the change was told.
        bool expanded;
    };
    // Every change of the expanded state told so far; a test clears it before it acts.
    [[nodiscard]] static QList<ExpandedChange>& expandedChanges();
};

#pragma once

#include "base/NativePath.h"

#include <QObject>

class FilePane;
class MergeListModel;
class MergeListView;
class MessagePrompter;

// The merge-list buttons, the double-click in the file pane and drops on the list:
// each turns what the user picked into full paths and hands them to the list
// operations, then shows their result in the view.
class MergeListController final : public QObject
{
    Q_OBJECT

public:
    MergeListController(FilePane& files, MergeListModel& model, MergeListView& view,
                        MessagePrompter& prompter, QObject* parent);
    Q_DISABLE_COPY_MOVE(MergeListController)

    void addSelectedFiles();
    void addAllFiles();
    void addCurrentFile();
    void addDropped(const QList<NativePath>& paths);
    void removeSelected();
    void removeAll();
    void moveSelectedUp();
    void moveSelectedDown();

private:
    [[nodiscard]] QList<NativePath> paneFiles(bool selectedOnly) const;
    void add(const QList<NativePath>& candidates);

    FilePane& m_files;
    MergeListModel& m_model;
    MergeListView& m_view;
    MessagePrompter& m_prompter;
};

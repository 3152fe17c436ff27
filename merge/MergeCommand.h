#pragma once

#include "base/NativePath.h"
#include "merge/MergeFiles.h"

#include <QString>

#include <functional>

class MergeListModel;
class MessagePrompter;
class QLineEdit;
class QWidget;

// The merge button: the empty-list and ".txt" rules of the output name, then the
// merge itself, asking before it creates a missing folder, and a box that tells how
// it went. The copy runs on a thread of its own while the window waits, disabled
// with the busy pointer yet painting and answering the desktop; when the program
// ends meanwhile, the copy stops and leaves nothing behind.
class MergeCommand final : private MergeHooks
{
public:
    // shownFolder gives the folder the file pane shows, whose own bytes an output
    // name inside it keeps.
    MergeCommand(QWidget& window, const MergeListModel& list, QLineEdit& outputName,
                 std::function<NativePath()> shownFolder, MessagePrompter& prompter);
    ~MergeCommand() override;
    Q_DISABLE_COPY_MOVE(MergeCommand)

    void run();

private:
    [[nodiscard]] bool createMissingFolder(const NativePath& folder) override;
    [[nodiscard]] MergeReport runCopy(const CopyWork& copy) override;
    void inform(const QString& text);

    QWidget& m_window;
    const MergeListModel& m_list;
    QLineEdit& m_outputName;
    std::function<NativePath()> m_shownFolder;
    MessagePrompter& m_prompter;
    // The output name of the merge running, as the user sees it.
    QString m_outputText;
};

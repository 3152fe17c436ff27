#pragma once

#include "base/NativePath.h"
#include "merge/MergeFiles.h"

#include <QString>

#include <atomic>
#include <functional>
#include <memory>

class CopyProgress;
class MergeListModel;
class MessagePrompter;
class QEventLoop;
class QLineEdit;
class QWidget;

// The merge button: the empty-list and ".txt" rules of the output name, then the
// merge itself, asking before it creates a missing folder, and a box that tells how
// it went. The copy runs on a thread of its own while the window waits, disabled
// with the busy pointer yet painting and answering the desktop; when the program
// ends meanwhile, the copy stops and leaves nothing behind. A copy that runs for
// more than a second shows a progress window (ProgressWindow), whose cancel stops
// it the same way, and then one box says so.
class MergeCommand final : private MergeHooks
{
public:
    // shownFolder gives the folder the file pane shows, whose own bytes an output
    // name inside it keeps.
    // makeProgress makes what the copy tells how far it is: a test's takes its time.
    MergeCommand(QWidget& window, const MergeListModel& list, QLineEdit& outputName,
                 std::function<NativePath()> shownFolder, MessagePrompter& prompter,
                 std::function<std::unique_ptr<CopyProgress>()> makeProgress = {});
    ~MergeCommand() override;
    Q_DISABLE_COPY_MOVE(MergeCommand)

    void run();

private:
    [[nodiscard]] bool createMissingFolder(const NativePath& folder) override;
    [[nodiscard]] MergeReport runCopy(const CopyWork& copy) override;
    void inform(const QString& text);
    // Shows the progress of the copy, a while after it starts, until `waiting` ends.
    void showProgress(const CopyProgress& progress, std::atomic<bool>& cancel, QEventLoop& waiting);

    QWidget& m_window;
    const MergeListModel& m_list;
    QLineEdit& m_outputName;
    std::function<NativePath()> m_shownFolder;
    MessagePrompter& m_prompter;
    std::function<std::unique_ptr<CopyProgress>()> m_makeProgress;
    // The output name of the merge running, as the user sees it.
    QString m_outputText;
    // The user cancelled the merge running.
    bool m_cancelled = false;
};

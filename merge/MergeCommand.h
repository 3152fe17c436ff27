#pragma once

#include "base/FileSystemAsker.h"
#include "base/NativePath.h"
#include "merge/MergeFiles.h"

#include <QElapsedTimer>
#include <QString>

#include <atomic>
#include <functional>
#include <memory>

class CopyProgress;
class MergeListModel;
class MessagePrompter;
class ProgressWindow;
class QLineEdit;
class QWidget;

// Where the merge command works: the window and its controls, the boxes, and the
// file systems it asks.
struct MergeSurroundings
{
    QWidget& window;
    const MergeListModel& list;
    QLineEdit& outputName;
    // The folder the file pane shows, whose own bytes an output name inside it keeps.
    std::function<NativePath()> shownFolder;
    MessagePrompter& prompter;
    FileSystemAsker& asker;
    // The root of the drive a path lies on: the volume the asker asks.
    std::function<NativePath(const NativePath&)> volumeOf;
    // What the copy tells how far it is: a test's takes its time. The ordinary one
    // where empty.
    std::function<std::unique_ptr<CopyProgress>()> makeProgress;
};

// The merge button: the empty-list and ".txt" rules of the output name, then the
// merge itself, asking before it creates a missing folder, and a box that tells how
// it went. The checks of the output and the copy run off the window's thread; while
// the window waits for them it is disabled with the busy pointer, yet paints and
// answers the desktop. A merge still running after a second shows a progress window
// (ProgressWindow), whose cancel stops it, and then one box says so. A step held by
// a file system that does not answer is given up on: its thread removes what it made
// when the file system answers. When the program ends meanwhile, the merge stops the
// same way.
class MergeCommand final : private MergeHooks
{
public:
    explicit MergeCommand(MergeSurroundings surroundings);
    ~MergeCommand() override;
    Q_DISABLE_COPY_MOVE(MergeCommand)

    void run();

private:
    [[nodiscard]] bool createMissingFolder(const NativePath& folder) override;
    [[nodiscard]] MergeResult runCheck(const OutputCheck& check) override;
    [[nodiscard]] MergeReport runCopy(const CopyWork& copy) override;
    // Waits, with the window answering, until the question has run (true), or the
    // user cancels or the program ends (false). `cancel`, where the question heeds
    // one, is set then, and the question given a moment to stop.
    [[nodiscard]] bool waitAnswering(const FileSystemAsker::Ticket& question, std::atomic<bool>* cancel,
                                     const CopyProgress* progress);
    void showProgress(const CopyProgress* progress);
    void inform(const QString& text);

    MergeSurroundings m_with;
    // The output's volume, for the merge running.
    NativePath m_volume;
    // The output name of the merge running, as the user sees it.
    QString m_outputText;
    // The user cancelled the merge running.
    bool m_cancelled = false;
    QElapsedTimer m_started;
    std::unique_ptr<ProgressWindow> m_progressWindow;
};

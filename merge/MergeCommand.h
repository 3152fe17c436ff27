#pragma once

#include "browser/NativePath.h"

#include <QString>

#include <functional>
#include <optional>

class MergeListModel;
class MergeOutput;
class MessagePrompter;
class QLineEdit;
class QWidget;
struct MergeResult;

// The merge button: checks the output name, asks before creating a missing folder,
// copies the listed files while the window is busy, and reports how it went.
class MergeCommand final
{
public:
    // shownFolder gives the folder the file pane shows, whose own bytes an output
    // name inside it keeps.
    MergeCommand(QWidget& window, const MergeListModel& list, QLineEdit& outputName,
                 std::function<NativePath()> shownFolder, MessagePrompter& prompter);
    Q_DISABLE_COPY_MOVE(MergeCommand)

    void run();

private:
    // The output name as shown (with its ".txt") and the file it names.
    struct Output
    {
        QString text;
        NativePath path;
    };

    // The output, or nothing when a check refused it.
    [[nodiscard]] std::optional<Output> checkedOutput();
    [[nodiscard]] bool openOutput(MergeOutput& output, const QString& text);
    [[nodiscard]] MergeResult copyWhileBusy(MergeOutput& output);
    void inform(const QString& text);

    QWidget& m_window;
    const MergeListModel& m_list;
    QLineEdit& m_outputName;
    std::function<NativePath()> m_shownFolder;
    MessagePrompter& m_prompter;
};

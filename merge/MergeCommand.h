#pragma once

#include <QString>

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
    MergeCommand(QWidget& window, const MergeListModel& list, QLineEdit& outputName,
                 MessagePrompter& prompter);
    Q_DISABLE_COPY_MOVE(MergeCommand)

    void run();

private:
    // The output name with its ".txt", or nothing when a check refused it.
    [[nodiscard]] std::optional<QString> checkedOutputName();
    [[nodiscard]] bool openOutput(MergeOutput& output);
    [[nodiscard]] MergeResult copyWhileBusy(MergeOutput& output);
    void inform(const QString& text);

    QWidget& m_window;
    const MergeListModel& m_list;
    QLineEdit& m_outputName;
    MessagePrompter& m_prompter;
};

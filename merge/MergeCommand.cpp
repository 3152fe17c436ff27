#include "merge/MergeCommand.h"

#include "base/MessagePrompter.h"
#include "merge/MergeTexts.h"
#include "merge/output/ExtensionRule.h"
#include "merge/output/OutputPath.h"
#include "mergelist/MergeListModel.h"

#include <QApplication>
#include <QEventLoop>
#include <QLineEdit>
#include <QPointer>

#include <thread>
#include <utility>

namespace {

// The window takes no input and shows the busy pointer while the files are copied;
// whichever way the copy ends, the window comes back as it was.
class BusyWindow final
{
public:
    explicit BusyWindow(QWidget& window) : m_window(window), m_focus(QApplication::focusWidget())
    {
        m_window.setEnabled(false);
        QApplication::setOverrideCursor(Qt::WaitCursor);
    }
    ~BusyWindow()
    {
        QApplication::restoreOverrideCursor();
        m_window.setEnabled(true);
        if (m_focus)
            m_focus->setFocus();
    }
    Q_DISABLE_COPY_MOVE(BusyWindow)

private:
    QWidget& m_window;
    QPointer<QWidget> m_focus;
};

} // namespace

MergeCommand::MergeCommand(QWidget& window, const MergeListModel& list, QLineEdit& outputName,
                           std::function<NativePath()> shownFolder, MessagePrompter& prompter)
    : m_window(window), m_list(list), m_outputName(outputName), m_shownFolder(std::move(shownFolder)),
      m_prompter(prompter)
{}

MergeCommand::~MergeCommand() = default;

void MergeCommand::run()
{
    if (m_list.count() == 0) {
        inform(mergetexts::emptyList());
        return;
    }
    m_outputText = withTxtExtension(m_outputName.text());
    if (m_outputText != m_outputName.text())
        m_outputName.setText(m_outputText);
    const MergeReport result =
        mergeFiles(m_list.entries(), outputPathOf(m_outputText, m_shownFolder()), *this);
    const QString report = mergetexts::report(result, m_outputText);
    if (!report.isEmpty())
        inform(report);
}

bool MergeCommand::createMissingFolder(const NativePath& /*folder*/)
{
    // The question names the folder as the user typed it.
    const QString question = mergetexts::createFolder(folderPartOf(m_outputText));
    return m_prompter.show(question, BoxStyle::Question) == BoxAnswer::Yes;
}

MergeReport MergeCommand::runCopy(const CopyWork& copy)
{
    const BusyWindow busy(m_window);
    std::atomic<bool> cancel{false};
    std::atomic<bool> finished{false};
    MergeReport result;
    QEventLoop waiting;
    CopyProgress progress;
    std::thread worker([&] {
        result = copy(cancel, progress);
        finished = true;
        QMetaObject::invokeMethod(&waiting, &QEventLoop::quit, Qt::QueuedConnection);
    });
    // The window is disabled, so the loop delivers no input to it: it paints, and
    // answers the window manager. It also ends when the program does.
    waiting.exec();
    if (!finished)
        cancel = true;
    worker.join();
    return result;
}

void MergeCommand::inform(const QString& text)
{
    (void)m_prompter.show(text, BoxStyle::Information);
}

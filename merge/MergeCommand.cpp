#include "merge/MergeCommand.h"

#include "base/MessagePrompter.h"
#include "merge/MergeTexts.h"
#include "merge/ProgressWindow.h"
#include "merge/copy/CopyProgress.h"
#include "merge/output/ExtensionRule.h"
#include "merge/output/OutputPath.h"
#include "mergelist/MergeListModel.h"

#include <QApplication>
#include <QEventLoop>
#include <QLineEdit>
#include <QPointer>
#include <QTimer>

#include <thread>
#include <utility>

namespace {

using namespace std::chrono_literals;

// A merge that takes longer than this shows its progress; most end before.
constexpr auto progressDelay = 1s;
// How often the progress window reads how far the copy is.
constexpr auto progressInterval = 100ms;

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
                           std::function<NativePath()> shownFolder, MessagePrompter& prompter,
                           std::function<std::unique_ptr<CopyProgress>()> makeProgress)
    : m_window(window), m_list(list), m_outputName(outputName), m_shownFolder(std::move(shownFolder)),
      m_prompter(prompter), m_makeProgress(std::move(makeProgress))
{
    if (!m_makeProgress)
        m_makeProgress = [] { return std::make_unique<CopyProgress>(); };
}

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
    m_cancelled = false;
    const MergeReport result =
        mergeFiles(m_list.entries(), outputPathOf(m_outputText, m_shownFolder()), *this);
    const bool cancelled = m_cancelled && result.status == MergeStatus::Cancelled;
    const QString report = cancelled ? mergetexts::cancelled() : mergetexts::report(result, m_outputText);
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
    const std::unique_ptr<CopyProgress> progress = m_makeProgress();
    std::thread worker([&] {
        result = copy(cancel, progress.get());
        finished = true;
        QMetaObject::invokeMethod(&waiting, &QEventLoop::quit, Qt::QueuedConnection);
    });
    // The window is disabled, so the loop delivers no input to it: it paints, and
    // answers the window manager. It also ends when the program does.
    showProgress(*progress, cancel, waiting);
    if (!finished)
        cancel = true;
    worker.join();
    return result;
}

void MergeCommand::showProgress(const CopyProgress& progress, std::atomic<bool>& cancel, QEventLoop& waiting)
{
    // Made only when it shows: a merge that ends at once leaves the window as it was.
    std::unique_ptr<ProgressWindow> window;
    const QList<NativePath> inputs = m_list.entries();
    const auto refresh = [&] {
        const qsizetype input = progress.input();
        const QString file = input >= 0 && input < inputs.size() ? inputs.at(input).display() : QString();
        window->showProgress(progress.done(), progress.total(), file, progress.isPublishing());
    };
    QTimer update;
    update.setInterval(progressInterval);
    QObject::connect(&update, &QTimer::timeout, &waiting, refresh);
    QTimer::singleShot(progressDelay, &waiting, [&] {
        window = std::make_unique<ProgressWindow>(m_window);
        QObject::connect(window.get(), &ProgressWindow::cancelRequested, &waiting, [&] {
            m_cancelled = true;
            cancel = true;
        });
        refresh();
        window->show();
        update.start();
    });
    waiting.exec();
}

void MergeCommand::inform(const QString& text)
{
    (void)m_prompter.show(text, BoxStyle::Information);
}

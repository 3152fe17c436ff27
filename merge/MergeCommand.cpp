#include "merge/MergeCommand.h"

#include "base/MessagePrompter.h"
#include "merge/MergeTexts.h"
#include "merge/ProgressWindow.h"
#include "merge/copy/CopyProgress.h"
#include "mergelist/MergeListModel.h"
#include "outputname/OutputName.h"
#include "outputname/OutputPath.h"

#include <QApplication>
#include <QEventLoop>
#include <QLineEdit>
#include <QPointer>
#include <QTimer>

#include <utility>

namespace {

using namespace std::chrono_literals;

// A merge that takes longer than this shows its progress; most end before.
constexpr auto progressDelay = 1s;
// How often the progress window reads how far the copy is.
constexpr auto progressInterval = 100ms;
// How long a cancelled copy is given to stop, which it does within a block unless a
// file system holds it in a call; then the merge is given up on.
constexpr auto stopTime = 1s;

// The window takes no input and shows the busy pointer while it waits for the merge;
// whichever way the wait ends, the window comes back as it was.
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

MergeResult givenUp()
{
    return MergeResult::failure(MergeStatus::Cancelled, {}, 0);
}

} // namespace

MergeCommand::MergeCommand(MergeSurroundings surroundings) : m_with(std::move(surroundings))
{
    if (!m_with.makeProgress)
        m_with.makeProgress = [] { return std::make_unique<CopyProgress>(); };
}

MergeCommand::~MergeCommand() = default;

void MergeCommand::run()
{
    if (m_with.list.count() == 0) {
        inform(mergetexts::emptyList());
        return;
    }
    m_outputText = withTxtExtension(m_with.outputName.text());
    if (m_outputText != m_with.outputName.text())
        m_with.outputName.setText(m_outputText);
    m_cancelled = false;
    m_started.start();
    const NativePath output = outputPathOf(m_outputText, m_with.shownFolder());
    m_volume = m_with.volumeOf(output.absolute());
    const MergeReport result = mergeFiles(m_with.list.entries(), output, *this);
    m_progressWindow.reset();
    const bool cancelled = m_cancelled && result.status == MergeStatus::Cancelled;
    const QString report = cancelled ? mergetexts::cancelled() : mergetexts::report(result, m_outputText);
    if (!report.isEmpty())
        inform(report);
}

bool MergeCommand::createMissingFolder(const NativePath& /*folder*/)
{
    // The question names the folder as the user typed it.
    const QString question = mergetexts::createFolder(folderPartOf(m_outputText));
    m_progressWindow.reset();
    return m_with.prompter.show(question, BoxStyle::Question) == BoxAnswer::Yes;
}

MergeResult MergeCommand::runCheck(const OutputCheck& check)
{
    auto result = std::make_shared<MergeResult>();
    const FileSystemAsker::Ticket question = m_with.asker.start(
        m_volume, [check, result] { *result = check(); }, this);
    // An answer in time leaves the window as it was.
    const auto inTime = std::chrono::steady_clock::now() + m_with.asker.within();
    if (m_with.asker.waitUntil(question, inTime) || waitAnswering(question, nullptr, nullptr))
        return *result;
    return givenUp();
}

MergeReport MergeCommand::runCopy(const CopyWork& copy)
{
    // Shared with the copy, which may outlive the merge when a file system holds it.
    auto cancel = std::make_shared<std::atomic<bool>>(false);
    std::shared_ptr<CopyProgress> progress = m_with.makeProgress();
    auto result = std::make_shared<MergeReport>();
    const FileSystemAsker::Ticket question = m_with.asker.start(
        m_volume, [copy, cancel, progress, result] { *result = copy(*cancel, progress.get()); }, this);
    if (waitAnswering(question, cancel.get(), progress.get()))
        return *result;
    return MergeReport(givenUp());
}

bool MergeCommand::waitAnswering(const FileSystemAsker::Ticket& question, std::atomic<bool>* cancel,
                                 const CopyProgress* progress)
{
    const BusyWindow busy(m_with.window);
    QEventLoop waiting;
    bool ran = false;
    m_with.asker.whenDone(question, &waiting, [&ran, &waiting] {
        ran = true;
        waiting.quit();
    });
    const auto cancelled = [&] {
        m_cancelled = true;
        if (cancel == nullptr) {
            waiting.quit();
            return;
        }
        *cancel = true;
        QTimer::singleShot(stopTime, &waiting, &QEventLoop::quit);
    };
    QTimer update;
    update.setInterval(progressInterval);
    QObject::connect(&update, &QTimer::timeout, &waiting, [this, progress] { showProgress(progress); });
    // Made only when it shows, a second into the merge: one that ends sooner leaves
    // the window as it was.
    const auto show = [&] {
        if (!m_progressWindow)
            m_progressWindow = std::make_unique<ProgressWindow>(m_with.window);
        QObject::connect(m_progressWindow.get(), &ProgressWindow::cancelRequested, &waiting, cancelled);
        showProgress(progress);
        m_progressWindow->show();
        update.start();
    };
    const qint64 shownIn = std::chrono::milliseconds(progressDelay).count() - m_started.elapsed();
    QTimer::singleShot(std::max<qint64>(shownIn, 0), &waiting, show);
    // The window is disabled, so the loop delivers no input to it: it paints, and
    // answers the window manager. It also ends when the program does.
    waiting.exec();
    if (ran)
        return true;
    if (cancel != nullptr && !m_cancelled) {
        // The program ends: a copy that stops in time removes what it made itself.
        *cancel = true;
        if (m_with.asker.waitUntil(question, std::chrono::steady_clock::now() + stopTime))
            return true;
    }
    m_with.asker.withdraw(question);
    return false;
}

void MergeCommand::showProgress(const CopyProgress* progress)
{
    if (progress == nullptr) {
        m_progressWindow->showChecking(mergetexts::checking());
        return;
    }
    const qsizetype input = progress->input();
    const QString file =
        input >= 0 && input < m_with.list.count() ? m_with.list.at(int(input)).display() : QString();
    m_progressWindow->showProgress(progress->done(), progress->total(), file, progress->isPublishing());
}

void MergeCommand::inform(const QString& text)
{
    (void)m_with.prompter.show(text, BoxStyle::Information);
}

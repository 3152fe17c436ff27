#include "merge/MergeCommand.h"

#include "app/MessagePrompter.h"
#include "browser/OutputName.h"
#include "merge/CopyInputs.h"
#include "merge/ExtensionRule.h"
#include "merge/MergeOutput.h"
#include "merge/MergeTexts.h"
#include "merge/OutputCheck.h"
#include "merge/OutputPath.h"
#include "mergelist/MergeListModel.h"

#include <QApplication>
#include <QLineEdit>
#include <QPointer>

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
        // Once, so that the disabled window and the pointer show before the copy.
        QCoreApplication::processEvents();
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

void MergeCommand::run()
{
    const std::optional<Output> checked = checkedOutput();
    if (!checked)
        return;
    MergeOutput output(checked->path);
    if (!openOutput(output, checked->text))
        return;
    const MergeResult result = copyWhileBusy(output);
    if (result.ok())
        inform(mergetexts::merged(checked->text));
    else if (result.status == MergeStatus::AlreadyExists)
        inform(mergetexts::alreadyExists(checked->text));
    else
        inform(mergetexts::failed(result));
}

std::optional<MergeCommand::Output> MergeCommand::checkedOutput()
{
    if (m_list.count() == 0) {
        inform(mergetexts::emptyList());
        return std::nullopt;
    }
    const QString text = withTxtExtension(m_outputName.text());
    if (text != m_outputName.text())
        m_outputName.setText(text);
    const NativePath path = outputPathOf(text, m_shownFolder());
    const ExistenceResult existing = checkOutputExists(path);
    switch (existing.status) {
    case ExistenceStatus::NoMatch:
        return Output{text, path};
    case ExistenceStatus::Exists:
        inform(mergetexts::alreadyExists(text));
        break;
    case ExistenceStatus::BadName:
        inform(mergetexts::badName());
        break;
    case ExistenceStatus::OtherFailure:
        inform(mergetexts::cannotCheck(text, existing.error));
        break;
    }
    return std::nullopt;
}

bool MergeCommand::openOutput(MergeOutput& output, const QString& text)
{
    MergeResult opened = output.open();
    if (opened.status == MergeStatus::FolderMissing) {
        // The question shows the folder as the user typed it.
        const QString folder = folderPartOf(text);
        if (m_prompter.show(mergetexts::createFolder(folder), BoxStyle::Question) != BoxAnswer::Yes)
            return false;
        const MergeResult created = createOutputFolder(folderToCreate(splitOutputPath(output.path())));
        if (!created.ok()) {
            inform(mergetexts::failed(created));
            return false;
        }
        opened = output.open();
    }
    if (!opened.ok())
        inform(mergetexts::cannotCreate(opened));
    return opened.ok();
}

MergeResult MergeCommand::copyWhileBusy(MergeOutput& output)
{
    const BusyWindow busy(m_window);
    const MergeResult copied = copyInputs(m_list.entries(), output);
    return copied.ok() ? output.publish() : copied;
}

void MergeCommand::inform(const QString& text)
{
    (void)m_prompter.show(text, BoxStyle::Information);
}

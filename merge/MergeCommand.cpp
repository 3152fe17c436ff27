#include "merge/MergeCommand.h"

#include "app/MessagePrompter.h"
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
                           MessagePrompter& prompter)
    : m_window(window), m_list(list), m_outputName(outputName), m_prompter(prompter)
{}

void MergeCommand::run()
{
    const std::optional<QString> name = checkedOutputName();
    if (!name)
        return;
    MergeOutput output(*name);
    if (!openOutput(output))
        return;
    const MergeResult result = copyWhileBusy(output);
    if (result.ok())
        inform(mergetexts::merged(*name));
    else if (result.status == MergeStatus::AlreadyExists)
        inform(mergetexts::alreadyExists(*name));
    else
        inform(mergetexts::failed(result));
}

std::optional<QString> MergeCommand::checkedOutputName()
{
    if (m_list.count() == 0) {
        inform(mergetexts::emptyList());
        return std::nullopt;
    }
    const QString name = withTxtExtension(m_outputName.text());
    if (name != m_outputName.text())
        m_outputName.setText(name);
    const ExistenceResult existing = checkOutputExists(name);
    if (existing.status == ExistenceStatus::NoMatch)
        return name;
    inform(existing.status == ExistenceStatus::BadName ? mergetexts::badName()
                                                       : mergetexts::alreadyExists(name));
    return std::nullopt;
}

bool MergeCommand::openOutput(MergeOutput& output)
{
    MergeResult opened = output.open();
    if (opened.status == MergeStatus::FolderMissing) {
        const QString folder = splitOutputPath(output.path()).folder;
        if (m_prompter.show(mergetexts::createFolder(folder), BoxStyle::Question) != BoxAnswer::Yes)
            return false;
        const MergeResult created = createOutputFolder(folder.chopped(1));
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

#include "mergelist/MergeListController.h"

#include "base/MessagePrompter.h"
#include "browser/FilePane.h"
#include "mergelist/MergeListModel.h"
#include "mergelist/MergeListOps.h"
#include "mergelist/MergeListTexts.h"
#include "mergelist/MergeListView.h"
#include "mergelist/PathRules.h"

MergeListController::MergeListController(FilePane& files, MergeListModel& model, MergeListView& view,
                                         MessagePrompter& prompter, QObject* parent)
    : QObject(parent), m_files(files), m_model(model), m_view(view), m_prompter(prompter)
{}

QList<NativePath> MergeListController::paneFiles(bool selectedOnly) const
{
    QList<NativePath> paths;
    const NativePath folder = m_files.path();
    const int count = m_files.fileCount();
    for (int i = 0; i < count; ++i)
        if (!selectedOnly || m_files.isSelected(i))
            paths << buildFullPath(folder, m_files.fileName(i));
    return paths;
}

void MergeListController::add(const QList<NativePath>& candidates)
{
    const mergelist::AddResult result = mergelist::addPaths(m_model, candidates, m_view.selectedRow());
    if (result.added > 0)
        m_view.selectRow(result.selectedRow);
    if (result.limitReached)
        (void)m_prompter.show(mergelisttexts::listFull(), BoxStyle::Information);
}

void MergeListController::addSelectedFiles()
{
    add(paneFiles(true));
}

void MergeListController::addAllFiles()
{
    add(paneFiles(false));
}

void MergeListController::addCurrentFile()
{
    const int current = m_files.currentRow();
    if (current < 0 || current >= m_files.fileCount())
        return;
    add({buildFullPath(m_files.path(), m_files.fileName(current))});
}

void MergeListController::addDropped(const QList<NativePath>& paths)
{
    m_files.takeListed(paths, this, [this](const QList<NativePath>& files) { add(files); });
}

void MergeListController::removeSelected()
{
    m_view.selectRow(mergelist::removeRow(m_model, m_view.selectedRow()));
}

void MergeListController::removeAll()
{
    m_view.selectRow(mergelist::removeAll(m_model));
}

void MergeListController::moveSelectedUp()
{
    m_view.selectRow(mergelist::moveUp(m_model, m_view.selectedRow()));
}

void MergeListController::moveSelectedDown()
{
    m_view.selectRow(mergelist::moveDown(m_model, m_view.selectedRow()));
}

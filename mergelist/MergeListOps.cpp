#include "mergelist/MergeListOps.h"

#include "mergelist/MergeListModel.h"
#include "mergelist/PathRules.h"

#include <QSet>

namespace mergelist {

namespace {

bool isValidRow(const MergeListModel& model, int row)
{
    return row >= 0 && row < model.count();
}

} // namespace

AddResult addPaths(MergeListModel& model, const QList<NativePath>& candidates, int selectedRow)
{
    // The insertion point is fixed once, before any candidate is looked at, so one
    // operation's entries stand together in the order they were given.
    const int insertRow = isValidRow(model, selectedRow) ? selectedRow + 1 : model.count();
    const int room = MergeListModel::maxEntries - model.count();

    AddResult result{selectedRow, 0, false};
    QList<NativePath> batch;
    // The batch is inserted in one go, so a path repeated among the candidates is
    // not yet in the model when its second copy is tested.
    QSet<NativePath::Native> batchForms;
    for (const NativePath& path : candidates) {
        if (model.isInMergeList(path)) {
            continue;
        }
        NativePath::Native form = comparedForm(path);
        if (batchForms.contains(form)) {
            continue;
        }
        if (batch.size() == room) {
            result.limitReached = true;
            break;
        }
        batchForms.insert(std::move(form));
        batch.append(path);
    }
    if (batch.isEmpty()) {
        return result;
    }
    model.insertBlock(insertRow, batch);
    result.added = static_cast<int>(batch.size());
    result.selectedRow = insertRow + result.added - 1;
    return result;
}

int removeRow(MergeListModel& model, int selectedRow)
{
    if (!isValidRow(model, selectedRow)) {
        return selectedRow;
    }
    model.removeAt(selectedRow);
    if (model.count() == 0) {
        return -1;
    }
    return qMax(selectedRow - 1, 0);
}

int removeAll(MergeListModel& model)
{
    model.clear();
    return -1;
}

int moveUp(MergeListModel& model, int selectedRow)
{
    if (!isValidRow(model, selectedRow) || selectedRow == 0) {
        return selectedRow;
    }
    model.moveEntry(selectedRow, selectedRow - 1);
    return selectedRow - 1;
}

int moveDown(MergeListModel& model, int selectedRow)
{
    if (!isValidRow(model, selectedRow) || selectedRow == model.count() - 1) {
        return selectedRow;
    }
    model.moveEntry(selectedRow, selectedRow + 1);
    return selectedRow + 1;
}

} // namespace mergelist

#pragma once

#include "base/NativePath.h"

#include <QList>

class MergeListModel;

// What the merge-list buttons do to the list, apart from the window. Each takes
// the selected row (-1 for none) and gives the row to select afterwards, which
// the window hands on to the view's selection model.
//
// In a namespace of their own because the controller's slots that run them bear
// like names (removeAll): a slot calls mergelist::removeAll() without hiding it.
namespace mergelist {

struct AddResult
{
    int selectedRow = -1;
    int added = 0;
    // True when a path that was not yet listed could not be added because the
    // list was full; the window then tells the user once.
    bool limitReached = false;
};

// Adds the candidates, in their order, that the list does not hold yet: after the
// selected entry when one is selected, else at the end. The last one added becomes
// selected; when nothing is added the selection stays as it was.
[[nodiscard]] AddResult addPaths(MergeListModel& model, const QList<NativePath>& candidates, int selectedRow);

// Removes the selected entry and selects the one before it, or the new first entry.
[[nodiscard]] int removeRow(MergeListModel& model, int selectedRow);
// Empties the list; nothing stays selected.
[[nodiscard]] int removeAll(MergeListModel& model);
// Swaps the selected entry with its upper neighbour; it stays selected.
[[nodiscard]] int moveUp(MergeListModel& model, int selectedRow);
// Swaps the selected entry with its lower neighbour; it stays selected.
[[nodiscard]] int moveDown(MergeListModel& model, int selectedRow);

} // namespace mergelist

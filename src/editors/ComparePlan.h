#pragma once

#include "editors/BlockOperations.h"
#include "model/TuneHistory.h"

#include <QString>
#include <vector>

class Tune;

// What the comparison with a second tune shows and takes over, apart from any
// widget: the note of a grid cell that differs, the cells of a selection to
// take from the other tune, and the items to take as a whole.
namespace ComparePlan {

// The note of grid cell (row, col) while the body map body is shown: the
// other tune's value as the cell would show it, behind its name ("Compared
// tune" when it has none); empty where both tunes hold the same raw value and
// for the corner.
QString CellNote(const Tune &mine, const Tune &theirs, MapKey body, int row, int col, const QString &name);

// Taking the cells of rect (body and axis cells alike; the corner is no cell)
// from the other tune: the cells whose raw value differs, named "Take N cells
// from NAME" after every cell of the selection.
BlockOps::Plan TakeCells(const Tune &mine, const Tune &theirs, MapKey body, const BlockOps::Rect &rect,
                         const QString &name);

// Whole items to take over, with the step's name.
struct ItemTake
{
    std::vector<ItemChange> changes; // before = mine, after = theirs
    QString label;
};
// One item (nothing when it does not differ), or every differing item when
// item is 0.
ItemTake TakeItems(const Tune &mine, const Tune &theirs, int item, const QString &name);

} // namespace ComparePlan

#pragma once

#include "editors/BlockOperations.h"
#include "model/TuneHistory.h"

#include <QString>
#include <QVariant>
#include <optional>
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
// item is none.
ItemTake TakeItems(const Tune &mine, const Tune &theirs, std::optional<TuneItem> item, const QString &name);

// One value in which the two tunes differ: the map or item, the entry
// (1-based, for items holding more than one value), the engine speed and
// load of a map cell (from this tune's axes), and the value in this tune and
// in the other as the editors show them. Numbers are held as numbers so a
// list sorts them as such; an empty QVariant is a column that does not apply.
struct ValueDifference
{
    TuneItem item = TuneItem::HOFM;
    QString itemName;
    QVariant entry;
    QVariant rpm;
    QVariant load;
    QVariant mine;
    QVariant theirs;
};
// Every differing value, item by item in transfer order, entries in order.
std::vector<ValueDifference> ValueDifferences(const Tune &mine, const Tune &theirs);

} // namespace ComparePlan

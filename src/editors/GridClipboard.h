#pragma once

#include "editors/BlockOperations.h"

#include <QString>
#include <QStringList>
#include <vector>

class Tune;

// The map grid (the body map body on show) and a spreadsheet, apart from any
// widget: a selection as
// tab-separated shown values, and pasted tab- or comma-separated text checked
// cell by cell like typing.
namespace GridClipboard {

// The cells of rect as shown, a tab between cells and a line end after each
// row; the inert corner is an empty field.
QString CopyText(const Tune &tune, MapKey body, const BlockOps::Rect &rect);
// The whole map with its axes (17 x 17, the corner empty).
QString MapText(const Tune &tune, MapKey body);

// Rows of fields: lines split at tabs, or at commas when a line has no tab;
// blanks around a field are dropped, and so are empty lines at the end.
std::vector<QStringList> ParseTable(const QString &text);

// Pasting table with its first field at grid cell (row, col). All or
// nothing: when any field does not fit the grid, is not a number or is out of
// the cell's range, plan.ok is false and the message names the first such
// cell. A field landing on the corner is ignored.
BlockOps::Plan PlanPaste(const Tune &tune, MapKey body, int row, int col, const std::vector<QStringList> &table);

// How a cell is named in messages: "RPM 1500, TP 64", "RPM axis row 3".
QString CellName(const Tune &tune, MapKey body, int row, int col);

} // namespace GridClipboard

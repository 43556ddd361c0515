#pragma once

#include "model/MapCatalogue.h"
#include "model/TuneItems.h"

#include <QString>
#include <optional>

class Tune;

// The rules of the fuel and timing map grid, apart from any widget, for the
// body map on show and the axes it is shown against: where a cell's value lives, how a raw byte is shown, what a typed or stepped value
// stores, which real-time item a cell belongs to and how wide the cells are.
//
// The grid has 17 rows and 17 columns: column 0 holds the map's RPM axis
// (rows 1..16), row 0 its TP axis (columns 1..16), cell (0, 0) is an inert
// corner and cells (1..16, 1..16) are the body map.
namespace GridRules {

inline constexpr int GridRows = 17;
inline constexpr int GridCols = 17;

// The colour of a cell the real-time trace has reached, RGB(0, 192, 0).
inline constexpr int TraceRed = 0, TraceGreen = 192, TraceBlue = 0;

enum class CellPlace { Outside, Corner, RpmAxis, TpAxis, Body };

CellPlace PlaceOf(int row, int col);
// Entry index within the cell's map: the RPM axis row - 1, the TP axis
// column - 1, the body (row - 1) x 16 + (column - 1); -1 elsewhere.
int EntryIndexOf(int row, int col);

// The map a cell of the grid reads and writes while the body map body is
// shown: the body itself, or the RPM or TP axis it is shown against. Nothing
// for the corner, a cell outside the grid or a body that is not a body map.
std::optional<MapKey> CellMap(MapKey body, CellPlace place);

// A raw byte below 128 marks an open-loop body cell.
bool IsOpenLoopValue(int value);
// The number a body cell shows: open loop the raw byte; closed loop
// raw - 192 on a fuel map (-64..63), raw - 128 on a timing map (0..127).
int DisplayValue(int raw, bool timing);
// The text a cell shows (and the in-place editor starts with).
QString CellText(CellPlace place, int raw, bool timing);
// The most characters the in-place editor takes for a cell.
int EditorMaxLength(CellPlace place);

// The outcome of committing a value to a cell: the new raw byte when
// accepted, else the limits the refusal names.
struct CellCommit
{
    bool accepted = false;
    int newRaw = 0;
    double low = 0;
    double high = 0;
};
CellCommit CommitCellValue(CellPlace place, bool timing, int oldRaw, double value);

// Whether a cell takes negative numbers: a closed-loop fuel cell (-64..63).
// On such a cell a typed "-" starts a negative number instead of a step.
bool TakesNegativeValues(CellPlace place, bool timing, int raw);

// The value a "+" (delta 1) or "-" (delta -1) step commits to a cell of raw
// value raw: RPM axis cells step by 50 RPM, all others by one raw unit.
double StepValue(CellPlace place, int raw, int delta);

// Open/closed-loop switch of a body cell.
int LoopSwitchedRaw(int raw, bool timing);
// The loop item's caption for a body cell of raw value raw.
QString LoopCaption(int raw);

// The tune item (and real-time item) of a cell while body is shown; nothing
// for the corner and outside the grid.
std::optional<TuneItem> CellItem(MapKey body, CellPlace place);

// Caption of the axis title above the grid while body is shown.
QString LabelXCaption(MapKey body);

// Cell width w in twips for a panel of the given width: a = R(picture - label
// - 10) (0 when negative), w = R((a - 535) / 17), at least 350.
int CellWidthTwips(double pictureWidthTwips, double labelYWidthTwips);

// Row height in pixels: the rows share the grid's height as the columns share
// its width, never below the height the font needs (the grid scrolls then).
int RowHeight(int fontRowHeight, int gridHeight);

// How much a cell's text is scaled down to fit the cell (1 when it fits):
// figures stay whole rather than end in "...", down to 0.6 of the font.
double TextScaleToFit(int textWidth, int room);

} // namespace GridRules

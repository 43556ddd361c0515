#pragma once

#include "editors/EditSession.h"
#include "editors/GridRules.h"

#include <QString>
#include <vector>

class Tune;

// The tuner's block tools on a rectangle of the map grid, apart from any
// widget. They work on the numbers the cells show, each cell keeping its own
// encoding (open or closed loop, fuel or timing); every result is rounded
// with R(x) and held within what can be typed into that cell.
namespace BlockOps {

enum class Op { Set, Add, Subtract, Scale, InterpolateRows, InterpolateColumns, InterpolateBilinear, Smooth };

// Grid rows and columns, inclusive, top <= bottom and left <= right.
struct Rect
{
    int top = 1;
    int left = 1;
    int bottom = 1;
    int right = 1;
    int cellCount() const { return (bottom - top + 1) * (right - left + 1); }
};

// One cell's new raw value.
struct CellWrite
{
    int row = 0;
    int col = 0;
    int oldRaw = 0;
    int newRaw = 0;
};

struct Plan
{
    bool ok = false;
    QString message;               // why the operation cannot run
    std::vector<CellWrite> writes; // the cells whose value changes
    QString label;                 // the undo step's name
};

// The number a cell shows: RPM for the RPM axis, the raw value for the TP
// axis, the display value for a body cell.
double ShownValue(GridRules::CellPlace place, int raw, bool timing);
// The raw value of a cell that is to show value: rounded, held within the
// cell's typing range (RPM 50..12750, TP 0..255, open fuel 0..127, closed
// fuel -64..63, timing 0..45 either way) and encoded the way the cell is.
int EncodeClamped(GridRules::CellPlace place, bool timing, int oldRaw, double value);

// What op (with its value: the number to set or add, the percentage to scale
// by) does to the cells of rect while the body map body is shown. The
// rectangle must lie in the body, or be a run of one axis; smoothing takes
// body cells only.
Plan PlanBlock(const Tune &tune, MapKey body, const Rect &rect, Op op, double value = 0);

// A plan's cell writes as the tune values they change, for the edit session.
std::vector<ValueWrite> ItemWrites(MapKey body, const Plan &plan);

// The name a map's cells go by in step names ("High Octane Fuel Map").
QString MapName(MapKey map);
// "Set 12 cells in ...", "Add 5 to 12 cells in ..." and so on.
QString StepLabel(Op op, double value, int cells, const QString &mapName);
// The menu caption of an operation.
QString Caption(Op op);

} // namespace BlockOps

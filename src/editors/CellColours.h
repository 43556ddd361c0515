#pragma once

#include "editors/CVMapColorInfo.h"

#include <cstdint>

// How the map grid colours its body cells. The loop colours are the
// program's own scale (CVMapColorInfo: open loop blue, closed loop red). The
// value scale shades each cell by the number it shows, low to high, along a
// perceptually even scale (viridis) for open-loop cells and along a grey
// ramp for closed-loop cells, so the loop of a cell still shows at a glance;
// the trace then takes a pink no cell of either scale can have.
namespace CellColours {

enum class Scheme { LoopColours = 0, ValueScale = 1 };

// Colours are in the program's stored form (VntRGB).
std::uint32_t Background(Scheme scheme, int raw, bool timing);
// The colour of a cell the live trace has reached.
std::uint32_t TraceColour(Scheme scheme);
// The colour of open- and closed-loop cells at a point t (0 = low, 1 = high)
// of their range, for the legend. The loop colours have one colour each.
std::uint32_t OpenLoopAt(Scheme scheme, double t);
std::uint32_t ClosedLoopAt(Scheme scheme, double t);

// Where a cell's shown value lies within the values its kind of cell holds:
// 0 at the low end, 1 at the high end (clamped). Fuel: open 0..127, closed
// -64..63; timing (open and closed alike) 0..45, the advance the cell takes.
double ValuePosition(int raw, bool timing);

} // namespace CellColours

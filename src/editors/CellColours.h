#pragma once

#include "editors/CVMapColorInfo.h"

#include <cstdint>

class CVMapInfo;

// How the map grid colours its body cells. The loop colours are the
// program's own scale (CVMapColorInfo: open loop blue, closed loop red). The
// value scale shades each cell by the number it shows, low to high, along a
// perceptually even scale (viridis) for open-loop cells and along a grey
// ramp for closed-loop cells, so the loop of a cell still shows at a glance;
// the trace then takes a pink no cell of either scale can have.
namespace CellColours {

enum class Scheme { LoopColours = 0, ValueScale = 1 };

// The shown values the value scale spreads its colours over, for each kind
// of cell: by default all a cell can hold (fuel open 0..127, closed -64..63,
// timing 0..45), or only what the shown map's cells span, for contrast on a
// map that uses a small part of the range.
struct ColourScale
{
    Scheme scheme = Scheme::LoopColours;
    double openLow = 0, openHigh = 127;
    double closedLow = -64, closedHigh = 63;
    double timingLow = 0, timingHigh = 45;
    bool operator==(const ColourScale &) const = default;
};

// The scale of a map: the full ranges, or with ownRange the range its own
// cells of each kind span.
ColourScale ScaleFor(Scheme scheme, bool ownRange, const CVMapInfo &map, bool timing);

// Colours are in the program's stored form (VntRGB).
std::uint32_t Background(const ColourScale &scale, int raw, bool timing);
inline std::uint32_t Background(Scheme scheme, int raw, bool timing)
{
    return Background(ColourScale{scheme}, raw, timing);
}
// The colour of a cell the live trace has reached.
std::uint32_t TraceColour(Scheme scheme);
// The colour of open- and closed-loop cells at a point t (0 = low, 1 = high)
// of their range, for the legend. The loop colours have one colour each.
std::uint32_t OpenLoopAt(Scheme scheme, double t);
std::uint32_t ClosedLoopAt(Scheme scheme, double t);

// Where a cell's shown value lies within its kind's range of the scale: 0 at
// the low end, 1 at the high end (clamped; the middle when the range is one
// value). Timing cells, open and closed alike, by the advance they take.
double ValuePosition(const ColourScale &scale, int raw, bool timing);

} // namespace CellColours

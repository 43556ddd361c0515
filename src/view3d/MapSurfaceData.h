#pragma once

#include "editors/CellColours.h"

#include <QString>
#include <QtGlobal>
#include <array>
#include <optional>

class CVMapInfo;
class TraceMarks;
class Tune;

// What the 3D map view draws for one of the six map bodies, apart from any
// graphics: where each row and column lies on the RPM and load axes, the
// display value of every cell as its height, and every cell's colour as the
// grid shows it (its colour scale, the trace's colour where the live trace
// marks it).
struct MapSurfaceData
{
    static constexpr int Size = 16;

    int panel = 0;
    bool timing = false;
    // Axis positions by entry index. An axis whose entries do not rise
    // strictly (a blank tune's axes are all 0) cannot place a surface, so its
    // entries are then spread evenly by index instead.
    std::array<double, Size> rpmPositions{};
    std::array<double, Size> tpPositions{};
    bool rpmByIndex = false;
    bool tpByIndex = false;
    // By entry index (RPM index x 16 + TP index).
    std::array<int, Size * Size> heights{};
    std::array<quint32, Size * Size> colors{}; // red in the low byte
    // The cell the engine ran in at the last acquisition tick, if shown.
    std::optional<int> liveEntry;

    QString rpmTitle() const;
    QString tpTitle() const;
    QString heightTitle() const;
};

// The positions of an axis map's 16 entries: raw x scale when they rise
// strictly, else 0..15; byIndex tells which.
std::array<double, MapSurfaceData::Size> AxisPositions(const CVMapInfo &axis, double scale, bool &byIndex);

// The surface of the body map of panel (7..12) with the live cell
// (rpmIndex, tpIndex) marked; nothing for any other panel. Cells take the
// grid's colours: its scale, and the trace's colour on the trace's points.
struct LiveCell
{
    int rpmIndex = 0;
    int tpIndex = 0;
};
std::optional<MapSurfaceData> BuildMapSurface(const Tune &tune, const TraceMarks &marks, int panel,
                                              std::optional<LiveCell> live = {},
                                              const CellColours::ColourScale &scale = {});

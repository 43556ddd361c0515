// The 3D view's surface data and texture: axis positions, heights as display
// values, the grid's colours with trace and live cells.

#include "editors/CVMapColorInfo.h"
#include "model/Tune.h"
#include "model/TraceMarks.h"
#include "support/TestEnv.h"
#include "view3d/MapSurfaceData.h"

#include <gtest/gtest.h>

namespace {

constexpr int N = MapSurfaceData::Size;

} // namespace

// Rising axes give RPM and load positions (the timing panels their own
// axes); an axis that does not rise, even by one repeated entry, is spread
// by index.
TEST(MapSurfaceData, AxisPositions)
{
    Tune t;
    const TraceMarks marks;
    const auto blank = BuildMapSurface(t, marks, 9);
    ASSERT_TRUE(blank);
    EXPECT_EQ(std::pair(blank->rpmByIndex, blank->rpmPositions[15]), std::pair(true, 15.0));

    testenv::risingAxes(t, 12, 8, 5, 10);
    const auto fuel = BuildMapSurface(t, marks, 7);
    ASSERT_TRUE(fuel);
    EXPECT_EQ(std::tuple(fuel->rpmByIndex, fuel->tpByIndex, fuel->rpmPositions[15], fuel->tpPositions[3]),
              std::tuple(false, false, 8000.0, 48.0));
    const auto timing = BuildMapSurface(t, marks, 12);
    ASSERT_TRUE(timing);
    EXPECT_EQ(std::pair(timing->rpmPositions[1], timing->tpPositions[15]), std::pair(20 * 50.0, 155.0));

    t.map(MapKey::FUELTP).SetMapValue(8, t.map(MapKey::FUELTP).MapValue(7));
    const auto folded = BuildMapSurface(t, marks, 7);
    EXPECT_EQ(std::pair(folded->tpByIndex, folded->rpmByIndex), std::pair(true, false));
}

TEST(MapSurfaceData, HeightsAreDisplayValuesAndColoursTheGridScale)
{
    // panel, raw, height: fuel closed loop is raw - 192, timing raw - 128.
    const int cases[][3] = {{7, 40, 40}, {7, 200, 8}, {7, 128, -64}, {11, 130, 2}, {12, 100, 100}};
    for (const auto &c : cases) {
        Tune t;
        const TraceMarks marks;
        const int entry = 5 * N + 9;
        t.map(*MapKeyFromPanel(c[0])).SetMapValue(entry, c[1]);
        const auto d = BuildMapSurface(t, marks, c[0]);
        ASSERT_TRUE(d);
        EXPECT_EQ(std::pair(d->heights[entry], d->colors[entry]),
                  std::pair(c[2], CVMapColorInfo::Shared().GetBackColor(c[1])))
            << "panel " << c[0] << " raw " << c[1];
    }
}

TEST(MapSurfaceData, TracePointsAndTheLiveCellAreGreen)
{
    Tune t;
    testenv::risingAxes(t, 12, 8, 5, 10);
    TraceMarks marks;
    marks.Of(MapKey::HOFM).AddRTMapPoint(17);
    const auto d = BuildMapSurface(t, marks, 7, LiveCell{4, 6});
    ASSERT_TRUE(d);
    EXPECT_EQ(std::tuple(d->colors[17], d->liveEntry, d->colors[4 * N + 6]),
              std::tuple(CVMapColorInfo::TraceColor, std::optional<int>(4 * N + 6), CVMapColorInfo::TraceColor));

    // A live cell outside the map marks nothing.
    for (LiveCell bad : {LiveCell{-1, 0}, LiveCell{0, 16}, LiveCell{16, 3}})
        EXPECT_FALSE(BuildMapSurface(t, marks, 7, bad)->liveEntry);
}

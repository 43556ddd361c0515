// The 3D view's surface data and texture: axis positions, heights as display
// values, the grid's colours with trace and live cells.

#include "editors/CVMapColorInfo.h"
#include "model/Tune.h"
#include "model/TraceMarks.h"
#include "view3d/MapSurfaceData.h"

#include <gtest/gtest.h>

namespace {

constexpr int N = MapSurfaceData::Size;

void risingAxes(Tune &t)
{
    for (int i = 0; i < N; ++i) {
        t.map(MapKey::FUELRPM).SetMapValue(i, 10 + 10 * i); // 500 .. 8000 RPM
        t.map(MapKey::FUELTP).SetMapValue(i, 16 * i);
        t.map(MapKey::TIMINGRPM).SetMapValue(i, 12 + 8 * i);
        t.map(MapKey::TIMINGTP).SetMapValue(i, 5 + 10 * i);
    }
}

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
    EXPECT_TRUE(blank->rpmByIndex);
    EXPECT_DOUBLE_EQ(blank->rpmPositions[15], 15);

    risingAxes(t);
    const auto fuel = BuildMapSurface(t, marks, 7);
    ASSERT_TRUE(fuel);
    EXPECT_FALSE(fuel->rpmByIndex);
    EXPECT_FALSE(fuel->tpByIndex);
    EXPECT_DOUBLE_EQ(fuel->rpmPositions[15], 8000.0);
    EXPECT_DOUBLE_EQ(fuel->tpPositions[3], 48.0);
    const auto timing = BuildMapSurface(t, marks, 12);
    ASSERT_TRUE(timing);
    EXPECT_DOUBLE_EQ(timing->rpmPositions[1], 20 * 50.0);
    EXPECT_DOUBLE_EQ(timing->tpPositions[15], 155.0);

    t.map(MapKey::FUELTP).SetMapValue(8, t.map(MapKey::FUELTP).MapValue(7));
    const auto folded = BuildMapSurface(t, marks, 7);
    EXPECT_TRUE(folded->tpByIndex);
    EXPECT_FALSE(folded->rpmByIndex);
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
        EXPECT_EQ(d->heights[entry], c[2]) << "panel " << c[0] << " raw " << c[1];
        EXPECT_EQ(d->colors[entry], CVMapColorInfo::Shared().GetBackColor(c[1]));
    }
}

TEST(MapSurfaceData, TracePointsAndTheLiveCellAreGreen)
{
    Tune t;
    risingAxes(t);
    TraceMarks marks;
    marks.Of(MapKey::HOFM).AddRTMapPoint(17);
    const auto d = BuildMapSurface(t, marks, 7, LiveCell{4, 6});
    ASSERT_TRUE(d);
    EXPECT_EQ(d->colors[17], CVMapColorInfo::TraceColor);
    EXPECT_EQ(d->liveEntry, 4 * N + 6);
    EXPECT_EQ(d->colors[4 * N + 6], CVMapColorInfo::TraceColor);

    // A live cell outside the map marks nothing.
    for (LiveCell bad : {LiveCell{-1, 0}, LiveCell{0, 16}, LiveCell{16, 3}})
        EXPECT_FALSE(BuildMapSurface(t, marks, 7, bad)->liveEntry);
}

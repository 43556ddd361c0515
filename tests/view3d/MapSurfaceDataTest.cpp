// The 3D view's surface data and texture: axis positions, heights as display
// values, the grid's colours with trace and live cells.

#include "editors/CVMapColorInfo.h"
#include "model/Tune.h"
#include "view3d/ui/Map3DView.h"
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

TEST(MapSurfaceData, RisingAxesGiveRpmAndLoadPositions)
{
    Tune t;
    risingAxes(t);
    const auto fuel = BuildMapSurface(t, 7);
    ASSERT_TRUE(fuel);
    EXPECT_FALSE(fuel->rpmByIndex);
    EXPECT_FALSE(fuel->tpByIndex);
    EXPECT_DOUBLE_EQ(fuel->rpmPositions[0], 500.0);
    EXPECT_DOUBLE_EQ(fuel->rpmPositions[15], 8000.0);
    EXPECT_DOUBLE_EQ(fuel->tpPositions[3], 48.0);

    // The timing panels use the timing axes.
    const auto timing = BuildMapSurface(t, 12);
    ASSERT_TRUE(timing);
    EXPECT_DOUBLE_EQ(timing->rpmPositions[1], 20 * 50.0);
    EXPECT_DOUBLE_EQ(timing->tpPositions[15], 155.0);
}

TEST(MapSurfaceData, AxesThatDoNotRiseAreSpreadByIndex)
{
    Tune t; // a blank tune: every axis entry 0
    auto blank = BuildMapSurface(t, 9);
    ASSERT_TRUE(blank);
    EXPECT_TRUE(blank->rpmByIndex);
    EXPECT_TRUE(blank->tpByIndex);
    EXPECT_DOUBLE_EQ(blank->rpmPositions[15], 15);

    // One repeated entry is enough to fold the surface.
    risingAxes(t);
    t.map(MapKey::FUELTP).SetMapValue(8, t.map(MapKey::FUELTP).MapValue(7));
    const auto folded = BuildMapSurface(t, 7);
    EXPECT_TRUE(folded->tpByIndex);
    EXPECT_FALSE(folded->rpmByIndex);
}

TEST(MapSurfaceData, HeightsAreDisplayValuesAndColoursTheGridScale)
{
    struct Case
    {
        int panel;
        int raw;
        int height;
    };
    const Case cases[] = {
        {7, 40, 40},  {7, 200, 8},  {7, 128, -64}, {7, 255, 63}, // fuel: closed loop is raw - 192
        {11, 130, 2}, {12, 100, 100}, {11, 173, 45},           // timing: closed loop is raw - 128
    };
    for (const Case &c : cases) {
        Tune t;
        risingAxes(t);
        const MapKey key = *MapKeyFromPanel(c.panel);
        const int entry = 5 * N + 9;
        t.map(key).SetMapValue(entry, c.raw);
        const auto d = BuildMapSurface(t, c.panel);
        ASSERT_TRUE(d);
        EXPECT_EQ(d->heights[entry], c.height) << "panel " << c.panel << " raw " << c.raw;
        EXPECT_EQ(d->colors[entry], CVMapColorInfo::Shared().GetBackColor(c.raw));
        EXPECT_EQ(d->colors[0], CVMapColorInfo::Shared().GetBackColor(0));
    }
}

TEST(MapSurfaceData, TracePointsAndTheLiveCellAreGreen)
{
    Tune t;
    risingAxes(t);
    t.map(MapKey::HOFM).AddRTMapPoint(17);
    const auto d = BuildMapSurface(t, 7, LiveCell{4, 6});
    ASSERT_TRUE(d);
    EXPECT_EQ(d->colors[17], CVMapColorInfo::TraceColor);
    ASSERT_TRUE(d->liveEntry);
    EXPECT_EQ(*d->liveEntry, 4 * N + 6);
    EXPECT_EQ(d->colors[4 * N + 6], CVMapColorInfo::TraceColor);
    EXPECT_EQ(d->colors[4 * N + 7], CVMapColorInfo::Shared().GetBackColor(0));

    // A live cell outside the map marks nothing.
    for (LiveCell bad : {LiveCell{-1, 0}, LiveCell{0, 16}, LiveCell{16, 3}}) {
        const auto e = BuildMapSurface(t, 7, bad);
        EXPECT_FALSE(e->liveEntry);
    }
}

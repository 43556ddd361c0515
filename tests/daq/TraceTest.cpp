// The trace in the tune: which cell of each traced map a sample reaches on
// that map's axes (nearest entry, ties and both ends), the values the log
// takes from those cells, the visited cells of highlight mode "All cells",
// and the table entries (TTP Min box, Fuel RPM Map column, VQ box).

#include "daq/AcquisitionSample.h"
#include "daq/EngineTrace.h"
#include "model/TraceMarks.h"
#include "model/Tune.h"
#include "support/TestEnv.h"

#include <gtest/gtest.h>
#include <limits>
#include <tuple>

namespace {

// Fuel axes 500..8000 RPM (raw 10..160) and TP 0..240 in steps of 16; timing
// axes 1000..8500 RPM (raw 20..170) and TP 0..150 in steps of 10. Every body
// cell holds a byte of its own, so a wrong cell shows in the value.
Tune tracedTune()
{
    Tune t;
    testenv::risingAxes(t);
    for (int i = 0; i < 256; ++i) {
        t.map(MapKey::HOFM).SetMapValue(i, i % 128);           // open loop: the byte itself
        t.map(MapKey::HOHGFM).SetMapValue(i, 192 + i % 64);    // closed loop fuel: byte - 192
        t.map(MapKey::HOTM).SetMapValue(i, 128 + i % 46);      // closed loop timing: byte - 128
        t.map(MapKey::LOFM).SetMapValue(i, 7);
    }
    return t;
}

} // namespace

TEST(EngineTrace, CellsOnEachMapsOwnAxes)
{
    const Tune tune = tracedTune();
    struct Case
    {
        MapKey map;
        int rpm, tp;
        int rpmIndex, tpIndex;
    } cases[] = {
        // 1275 RPM is axis value 26 (R(25.5) = 26): nearer 30 than 20.
        {MapKey::HOFM, 1275, 33, 2, 2},
        // The timing axes start at 20: 26 is nearest 30, index 1; TP 33 nearest 30.
        {MapKey::HOTM, 1275, 33, 1, 3},
        // Ties go to the lower entry (MapInfoTest has the search's own
        // table): 1250 RPM is 25 between 20 and 30; TP 24 between 16 and 32.
        {MapKey::HOFM, 1250, 24, 1, 1},
    };
    for (const Case &c : cases) {
        const EngineTrace::CellIndex cell = EngineTrace::FindCell(tune, c.map, c.rpm, c.tp);
        EXPECT_EQ(std::pair(cell.rpmIndex, cell.tpIndex), std::pair(c.rpmIndex, c.tpIndex))
            << static_cast<int>(c.map) << " " << c.rpm << " " << c.tp;
    }
}

TEST(EngineTrace, TableEntries)
{
    const Tune tune = tracedTune();
    const std::pair<int, int> ttpMin[] = {{3000, 15}, {262, 0}, {350, 1}, {-5000, 0}, {438, 2}};
    for (const auto &[rpm, box] : ttpMin)
        EXPECT_EQ(EngineTrace::TTPMinIndex(rpm), box) << rpm;
    const std::pair<int, int> columns[] = {{3000, 5}, {1275, 2}, {0, 0}, {12750, 15}};
    for (const auto &[rpm, column] : columns)
        EXPECT_EQ(EngineTrace::RpmColumnIndex(tune.map(MapKey::FUELRPM), rpm), column) << rpm;
    const std::pair<float, int> vq[] = {{0.12f, 0}, {0.30f, 3}, {6.0f, 63}, {-3.0f, 0}, {5.12f, 63},
                                        {std::numeric_limits<float>::quiet_NaN(), 0},
                                        {std::numeric_limits<float>::infinity(), 63},
                                        {-std::numeric_limits<float>::infinity(), 0}};
    for (const auto &[volts, box] : vq)
        EXPECT_EQ(EngineTrace::VQIndex(volts), box) << volts;
}

// A walk of samples, traced once in each highlight mode: the cells reached,
// the values the log takes and the table entries are the same in both; only
// "All cells" leaves the visited cells marked in the maps.
TEST(EngineTrace, WalkInBothHighlightModes)
{
    struct Step
    {
        int rpm, tp;
        float mas;
        int fuelCell, timingCell, ttpMin, column, vq; // cells as entry index: row x 16 + column
    } walk[] = {
        {1000, 33, 0.30f, 1 * 16 + 2, 0 * 16 + 3, 5, 1, 3},
        {3000, 96, 1.00f, 5 * 16 + 6, 4 * 16 + 10, 15, 5, 12},
        {8000, 240, 5.0f, 15 * 16 + 15, 14 * 16 + 15, 15, 15, 62},
    };
    for (const bool allCells : {false, true}) {
        SCOPED_TRACE(allCells ? "all cells" : "current cell");
        const Tune tune = tracedTune();
        TraceMarks marks;
        marks.Of(MapKey::HOFM).AddRTMapPoint(200); // from an earlier run: kept in both modes
        int previousFuel = 1 * 16 + 1;            // a new map's trace indexes start at (1, 1)
        int previousTiming = 1 * 16 + 1;
        for (const Step &step : walk) {
            AcquisitionSample s;
            s.acquired = true;
            s.rpm = step.rpm;
            s.tpInt = step.tp;
            s.masVoltage = step.mas;
            EngineTrace::Trace(tune, marks, s, allCells);
            ASSERT_EQ(s.cells.size(), 3);
            const auto entry = [](const AcquisitionSample::TracedCell &c) { return c.rpmIndex * 16 + c.tpIndex; };
            const AcquisitionSample::TracedCell &low = *s.cellOf(MapKey::HOFM);
            const AcquisitionSample::TracedCell &high = *s.cellOf(MapKey::HOHGFM);
            const AcquisitionSample::TracedCell &timing = *s.cellOf(MapKey::HOTM);
            EXPECT_EQ(std::tuple(entry(low), entry(high), entry(timing)),
                      std::tuple(step.fuelCell, step.fuelCell, step.timingCell)) << step.rpm;
            EXPECT_EQ(std::pair(low.previousRpmIndex * 16 + low.previousTpIndex,
                                timing.previousRpmIndex * 16 + timing.previousTpIndex),
                      std::pair(previousFuel, previousTiming));
            // The values of the cells, as the log takes them.
            EXPECT_EQ(std::tuple(low.value, high.value, timing.value),
                      std::tuple(step.fuelCell % 128, step.fuelCell % 64, step.timingCell % 46));
            EXPECT_EQ(std::tuple(s.ttpMinIndex, s.rpmColumn, s.vqIndex), std::tuple(step.ttpMin, step.column, step.vq));
            previousFuel = step.fuelCell;
            previousTiming = step.timingCell;
        }
        // Visited cells: marked only in "All cells", each map on its own
        // cells; the untraced low octane map is never touched.
        for (const Step &step : walk) {
            EXPECT_EQ(marks.Of(MapKey::HOFM).IsRTMapPointSet(step.fuelCell), allCells);
            EXPECT_EQ(marks.Of(MapKey::HOHGFM).IsRTMapPointSet(step.fuelCell), allCells);
            EXPECT_EQ(marks.Of(MapKey::HOTM).IsRTMapPointSet(step.timingCell), allCells);
        }
        EXPECT_FALSE(marks.Of(MapKey::HOTM).IsRTMapPointSet(1 * 16 + 2)) << "a fuel cell is no timing cell";
        int marked = 0;
        for (int i = 0; i < 256; ++i)
            marked += marks.Of(MapKey::HOFM).IsRTMapPointSet(i);
        EXPECT_EQ(marked, allCells ? 4 : 1);
    }
}

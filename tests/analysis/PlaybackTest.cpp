// A log played back: each line traced on the current tune as the live tick
// traces the engine, the playback clock, and the two cursors' window.

#include "analysis/CursorWindow.h"
#include "analysis/DataLog.h"
#include "analysis/LogPlayback.h"
#include "analysis/PlaybackClock.h"
#include "analysis/ScatterPoints.h"
#include "model/TraceMarks.h"
#include "model/Tune.h"
#include "support/TestEnv.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

// Fuel axes: RPM 500 + 500 i, TP 16 i; timing axes: RPM 1000 + 600 i, TP 10 + 15 i.
Tune tracedTune()
{
    Tune t;
    testenv::risingAxes(t, 20, 12, 10, 15);
    t.map(MapKey::HOFM).SetMapValue(7 * 16 + 2, 33);
    t.map(MapKey::HOHGFM).SetMapValue(7 * 16 + 2, 44);
    t.map(MapKey::HOTM).SetMapValue(5 * 16 + 1, 55);
    return t;
}

const QByteArray Log = "DATE/TIME,RPM,TP,Timing Mark,Low Gear Enrichment,High Gear Enrichment,Injector Pulsewidth,"
                       "Injector Duty,MAS,AFR,Nitrous\r\n"
                       "2026-12-06 10:00:00.000,4000,30.4,1,2,3,4,5,1.6,14.1,1\r\n"
                       "2026-12-06 10:00:00.025,4010,,1,2,3,4,5,1.6,14.2,0\r\n"
                       "2026-12-06 10:00:00.050,1000,0,1,2,3,4,5,0.8,14.7,0\r\n";

} // namespace

TEST(Playback, ALogLinePutsEachTracedMapOnItsCell)
{
    const Tune tune = tracedTune();
    const DataLog log = ParseDataLog(Log);
    const LogPlayback::Columns columns = LogPlayback::FindColumns(log, {QStringLiteral("Nitrous")});
    TraceMarks marks;
    const AcquisitionSample s = LogPlayback::SampleAt(log, columns, 0, tune, marks, true);
    ASSERT_TRUE(s.acquired);
    EXPECT_EQ(std::pair(s.rpm, s.tpInt), std::pair(qint32(4000), 30));
    struct Expected
    {
        MapKey map;
        int rpmIndex, tpIndex, value;
    };
    // Fuel maps on the fuel axes, the timing map on its own: different cells.
    for (const Expected &e : {Expected{MapKey::HOFM, 7, 2, 33}, Expected{MapKey::HOHGFM, 7, 2, 44},
                              Expected{MapKey::HOTM, 5, 1, 55}}) {
        const AcquisitionSample::TracedCell *cell = s.cellOf(e.map);
        ASSERT_NE(cell, nullptr);
        EXPECT_EQ(std::tuple(cell->rpmIndex, cell->tpIndex, cell->value), std::tuple(e.rpmIndex, e.tpIndex, e.value));
        EXPECT_EQ(std::pair(marks.Of(e.map).LastRPMIndex(), marks.Of(e.map).LastTPIndex()),
                  std::pair(e.rpmIndex, e.tpIndex));
        EXPECT_TRUE(marks.Of(e.map).IsRTMapPointSet(e.rpmIndex * 16 + e.tpIndex));
    }
    // The figures are the current tune's, not the logged ones.
    EXPECT_FLOAT_EQ(s.injectorPW, std::round(30.4f * 0.125f * 1.44f * 100) / 100);
    EXPECT_EQ(s.vqIndex, 19); // MAS 1.6 V
    // The inputs after the logger's own columns, the digital one known as such.
    ASSERT_EQ(s.inputs.size(), 3);
    EXPECT_EQ(std::tuple(s.inputs[1].name, s.inputs[1].digital, s.inputs[2].digital, s.inputs[2].value),
              std::tuple(QStringLiteral("AFR"), false, true, 1.0f));

    // A line without a load leaves the marks where the last one put them.
    const AcquisitionSample gap = LogPlayback::SampleAt(log, columns, 1, tune, marks, true);
    EXPECT_FALSE(gap.acquired);
    EXPECT_EQ(marks.Of(MapKey::HOFM).LastRPMIndex(), 7);
    EXPECT_TRUE(gap.status.contains(QStringLiteral("Playback")));
    // Without "All cells" a later line moves the cell and marks nothing new.
    const AcquisitionSample idle = LogPlayback::SampleAt(log, columns, 2, tune, marks, false);
    EXPECT_EQ(std::pair(idle.cellOf(MapKey::HOFM)->rpmIndex, idle.cellOf(MapKey::HOFM)->previousRpmIndex),
              std::pair(1, 7));
    EXPECT_FALSE(marks.Of(MapKey::HOFM).IsRTMapPointSet(1 * 16));
    EXPECT_FALSE(LogPlayback::SampleAt(log, columns, 3, tune, marks, false).acquired);
}

TEST(Playback, ClockMovesAtItsSpeedLoopsAndStops)
{
    using PlaybackClock::After;
    struct Case
    {
        const char *what;
        double from, elapsed, speed;
        PlaybackClock::Span span;
        double time;
        bool ended;
    };
    const Case cases[] = {
        {"real time", 1.0, 2.0, 1.0, {0, 10, false}, 3.0, false},
        {"a quarter", 1.0, 2.0, 0.25, {0, 10, false}, 1.5, false},
        {"sixteen times", 0.0, 0.5, 16.0, {0, 10, false}, 8.0, false},
        {"stops at the end", 9.0, 1.0, 2.0, {0, 10, false}, 10.0, true},
        {"loops between the cursors", 2.0, 3.5, 2.0, {2, 6, true}, 5.0, false},
        {"a start outside the loop begins at its start", 8.0, 1.0, 1.0, {2, 6, true}, 3.0, false},
        {"a loop of no width plays on to the end", 3.0, 20.0, 1.0, {3, 3, true}, 3.0, true},
    };
    for (const Case &c : cases) {
        const PlaybackClock::Position p = After(c.from, c.elapsed, c.speed, c.span);
        EXPECT_NEAR(p.time, c.time, 1e-9) << c.what;
        EXPECT_EQ(p.ended, c.ended) << c.what;
    }
}

TEST(Playback, DeltaAndWindowBetweenTheCursors)
{
    const DataLog log = ParseDataLog(Log);
    const CursorWindow::Delta d = CursorWindow::Between(log, 2, 0, {0, 8});
    EXPECT_NEAR(d.seconds, -0.05, 1e-9);
    ASSERT_EQ(d.differences.size(), 2u);
    EXPECT_NEAR(d.differences[0], 3000, 1e-3);
    EXPECT_NEAR(d.differences[1], 14.1 - 14.7, 1e-5);
    EXPECT_TRUE(std::isnan(CursorWindow::Between(log, 1, 0, {1}).differences.at(0))); // TP missing at one end
    EXPECT_TRUE(CursorWindow::Between(log, 0, 3, {0}).differences.empty());

    struct Case
    {
        double t0, t1;
        std::size_t first, end;
    };
    for (const Case &c : {Case{0.0, 0.05, 0, 3}, Case{0.05, 0.01, 1, 3}, Case{0.02, 0.03, 1, 2},
                          Case{0.06, 1.0, 3, 3}, Case{-1.0, -0.5, 0, 0}}) {
        const CursorWindow::Rows r = CursorWindow::RowsWithin(log, c.t0, c.t1);
        EXPECT_EQ(std::pair(r.first, r.end), std::pair(c.first, c.end)) << c.t0 << ".." << c.t1;
    }
}

TEST(Playback, ScatterBinsEveryRowOnRoundScales)
{
    const DataLog log = ParseDataLog("DATE/TIME,RPM,AFR,TP\r\n"
                                     "2026-12-06 10:00:00.000,1000,12,1\r\n"
                                     "2026-12-06 10:00:01.000,2000,16,\r\n"
                                     "2026-12-06 10:00:02.000,,14,3\r\n"
                                     "2026-12-06 10:00:03.000,3000,14,5\r\n");
    // Scales on round steps around the values; 11 x 11 pixels, one per step.
    const ScatterPoints::Image byTime = ScatterPoints::Bin(log, 0, 1, ScatterPoints::ByTime, 0, 4, 11, 11);
    EXPECT_EQ(std::tuple(byTime.points, byTime.skipped), std::tuple(std::size_t(3), std::size_t(1)));
    EXPECT_EQ(std::tuple(byTime.x.low, byTime.x.high, byTime.y.low, byTime.y.high),
              std::tuple(1000.0, 3000.0, 12.0, 16.0));
    const auto at = [](const ScatterPoints::Image &img, int x, int y) { return img.colour[y * img.width + x]; };
    EXPECT_FLOAT_EQ(at(byTime, 0, 10), 0.0f); // 1000 RPM, AFR 12: the first sample, low left
    EXPECT_FLOAT_EQ(at(byTime, 5, 0), 1.0f / 3); // 2000, 16 at 1 s of 3
    EXPECT_FLOAT_EQ(at(byTime, 10, 5), 1.0f); // 3000, 14: the last
    EXPECT_TRUE(std::isnan(at(byTime, 5, 5)));
    // By a column: a row without its value is still a point, marked apart.
    const ScatterPoints::Image byTp = ScatterPoints::Bin(log, 0, 1, 2, 0, 2, 11, 11);
    EXPECT_EQ(std::tuple(at(byTp, 0, 10), at(byTp, 10, 0), byTp.points), std::tuple(0.0f, -1.0f, std::size_t(2)));
    const ScatterPoints::Scale flat = ScatterPoints::RoundScale(14.7, 14.7, 6);
    EXPECT_TRUE(flat.low < 14.7 && flat.high > 14.7) << "one value still gets a width";
}

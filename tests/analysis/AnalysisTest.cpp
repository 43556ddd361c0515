// Decimation for display, the map overlay and the fuel correction.

#include "analysis/ApplyCorrection.h"
#include "analysis/CellOverlay.h"
#include "analysis/DataLog.h"
#include "analysis/Decimation.h"
#include "analysis/FuelCorrection.h"
#include "editors/EditSession.h"
#include "link/RealTimeSender.h"
#include "model/ProgramState.h"
#include "model/Tune.h"
#include "support/LiveLink.h"
#include "support/RecordingSender.h"
#include "support/TestEnv.h"

#include <QStringList>
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <random>
#include <tuple>

namespace {

bool contains(const std::vector<QPointF> &points, double t, double v)
{
    return std::any_of(points.begin(), points.end(), [&](const QPointF &p) { return p.x() == t && p.y() == v; });
}

TEST(Decimation, EveryBucketKeepsItsExtremes)
{
    std::mt19937 rng(7);
    std::normal_distribution<float> noise(0.0f, 1.0f);
    const std::size_t n = 100000;
    std::vector<double> t(n);
    std::vector<float> v(n);
    for (std::size_t i = 0; i < n; ++i) {
        t[i] = i * 0.025;
        v[i] = noise(rng);
    }
    v[31337] = 50.0f;  // a single spike
    v[77777] = -40.0f; // and a single dip
    std::vector<QPointF> out;
    Decimation::MinMax(t, v, 0, t.back(), 500, out);
    EXPECT_LE(out.size(), 500u * 4 + 2);
    EXPECT_TRUE(contains(out, t[31337], 50.0) && contains(out, t[77777], -40.0));
    EXPECT_TRUE(std::is_sorted(out.begin(), out.end(), [](const QPointF &a, const QPointF &b) { return a.x() < b.x(); }));
    double lo = 0, hi = 0;
    Decimation::RangeOf(t, v, 0, t.back(), lo, hi);
    EXPECT_EQ(std::pair(lo, hi), std::pair(-40.0, 50.0));
    Decimation::RangeOf(t, v, t.back() + 1, t.back() + 2, lo, hi);
    EXPECT_TRUE(std::isnan(lo)) << "nothing in view";
}

// Fuel RPM axis 500, 1000, ... 8000 RPM (raw 10, 20, ... 160); fuel TP axis
// 0, 16, ... 240. Timing axes differ so a mix-up shows.
Tune testTune()
{
    Tune tune;
    testenv::risingAxes(tune, 20, 12, 10, 15);
    return tune;
}

DataLog logOf(const QByteArray &body, const char *header = "DATE/TIME,RPM,TP,AFR")
{
    DataLogReport report;
    DataLog log = ParseDataLog(QByteArray(header) + "\r\n" + body, &report);
    EXPECT_TRUE(report.ok);
    return log;
}

TEST(CellOverlay, CountsAndAveragesMatchHandComputedCells)
{
    const Tune tune = testTune();
    const DataLog log = logOf("2026-01-01 00:00:00.000,1000,16,14\r\n"   // (1,1)
                              "2026-01-01 00:00:00.100,1010,17,15\r\n"   // (1,1)
                              "2026-01-01 00:00:00.200,990,15,\r\n"      // (1,1) no AFR
                              "2026-01-01 00:00:00.300,3000,100,12\r\n"  // raw 60 -> row 5; 100 -> 96 col 6
                              "2026-01-01 00:00:00.400,,100,12\r\n");    // no RPM: skipped
    const int rpm = log.columnIndex("RPM"), tp = log.columnIndex("TP"), afr = log.columnIndex("AFR");
    const CellOverlay::Result r = CellOverlay::Compute(log, tune, MapKey::HOFM, rpm, tp, afr);
    EXPECT_EQ(std::tuple(r.samples, r.skipped, r.counts[1 * 16 + 1], r.averages[1 * 16 + 1], r.averages[5 * 16 + 6]),
              std::tuple(std::size_t(4), std::size_t(1), 3, 14.5, 12.0));
    EXPECT_FALSE(CellOverlay::CellOf(tune, MapKey::HOFM, std::nanf(""), 10));
    EXPECT_FALSE(CellOverlay::CellOf(tune, MapKey::FUELRPM, 1000, 10)) << "an axis is no map";
    // Time in a cell: each row until the next line, a pause cut to the longest sample period.
    EXPECT_NEAR(r.seconds[1 * 16 + 1], 0.3, 1e-9);
    EXPECT_NEAR(r.seconds[5 * 16 + 6], 0.1, 1e-9);
    EXPECT_EQ(CellOverlay::NoteForms(r, 1 * 16 + 1, CellOverlay::Show::Time),
              QStringList({"0.30s", "0.3s", "0s"}));
    const DataLog paused = logOf("2026-01-01 00:00:00.000,1000,16,14\r\n"
                                 "2026-01-01 00:01:00.000,1000,16,14\r\n");
    const CellOverlay::Result p = CellOverlay::Compute(paused, tune, MapKey::HOFM, rpm, tp, -1);
    EXPECT_NEAR(p.seconds[1 * 16 + 1], CellOverlay::MaxHoldSeconds, 1e-9);
}

TEST(FuelCorrection, ArithmeticRoundingAndLimits)
{
    struct Case
    {
        int e;
        double measured, target;
        int expected;
    };
    const Case cases[] = {
        {0, 14.7, 14.7, 0},     // on target: unchanged
        {20, 14.7, 14.7, 20},
        {10, 16.0, 16.0 / 1.1, 21}, // (1.1) x 1.1 = 1.21
        {0, 9, 8, 12},          // exactly 12.5: halves to even
        {0, 11, 8, 38},         // exactly 37.5: to even 38
        {50, 12, 16, 12},       // 1.5 x 0.75 = 1.125 -> 12.5 -> 12
        {0, 12.0, 14.7, 0},     // rich at e = 0: cannot go below 0
        {100, 30, 10, 127},     // 500: capped at the open-loop top
        {127, 14.7, 14.7, 127},
        {127, 14.8, 14.7, 127},
        {40, 7, 14.7, 0},       // (1.4) x 0.476 = 0.667 -> -33 -> 0
        {5, 14.7, 0, 5},        // no target: unchanged
    };
    for (const Case &c : cases)
        EXPECT_EQ(FuelCorrection::CorrectedEnrichment(c.e, c.measured, c.target), c.expected)
            << c.e << " " << c.measured << "/" << c.target;
}

TEST(FuelCorrection, SteadyMaskDropsBothSidesOfAJump)
{
    EXPECT_EQ(FuelCorrection::SteadyMask({20, 21, 22, 40, 41, 41, std::nanf(""), 41, 30}, 8.0),
              (std::vector<bool>{true, true, false, false, true, true, false, false, false}));
    // A change of exactly the limit is still steady.
    EXPECT_EQ(FuelCorrection::SteadyMask({10, 18, 26}, 8.0), (std::vector<bool>{true, true, true}));
}

QByteArray steadyRows(int count, int rpm, float tp, float afr, int startMs)
{
    QByteArray out;
    for (int i = 0; i < count; ++i) {
        const int ms = startMs + i * 25;
        out += QStringLiteral("2026-01-01 00:%1:%2.%3,%4,%5,%6\r\n")
                   .arg(ms / 60000, 2, 10, QChar('0'))
                   .arg(ms / 1000 % 60, 2, 10, QChar('0'))
                   .arg(ms % 1000, 3, 10, QChar('0'))
                   .arg(rpm)
                   .arg(tp)
                   .arg(afr)
                   .toLatin1();
    }
    return out;
}

TEST(FuelCorrection, ProposalPerCellWithTransientsLeftOut)
{
    Tune tune = testTune();
    CVMapInfo &fuel = tune.map(MapKey::HOFM);
    fuel.SetMapValue(1 * 16 + 1, 10);  // open loop, e = 10
    fuel.SetMapValue(3 * 16 + 6, 200); // closed loop
    fuel.SetMapValue(5 * 16 + 10, 120);

    QByteArray rows;
    rows += steadyRows(12, 1000, 16, 16.17f, 0);  // (1,1): lean
    // A throttle stab through (1,1): load 16 -> 60 -> 16 with a wild ratio.
    rows += steadyRows(1, 1000, 60, 25.0f, 300);
    rows += steadyRows(1, 1000, 16, 25.0f, 325);
    rows += steadyRows(2, 1000, 16, 16.17f, 350);
    rows += steadyRows(20, 2000, 96, 15.0f, 1400);  // (3,6): closed loop
    rows += steadyRows(3, 2500, 32, 13.0f, 2000);  // (4,2): too few
    rows += steadyRows(11, 3000, 160, 19.5f, 2100); // (5,10): e 120 lean -> capped
    const DataLog log = logOf(rows);

    FuelCorrection::Settings s;
    s.afrColumn = "AFR";
    s.minSamples = 10;
    s.transientTp = 8;
    s.map = MapKey::HOFM;
    s.targets.afr.fill(14.7);
    const FuelCorrection::Proposal p = FuelCorrection::Compute(log, tune, s);
    ASSERT_TRUE(p.error.isEmpty()) << p.error.toStdString();

    const auto &a = p.cells[1 * 16 + 1];
    // The 12 rows before the stab lose their last one; the first row after
    // it (25.0) goes too, and so does the next, within a second of a
    // reading beyond the sensor's range: 11, all at 16.17;
    // 1.1 x 16.17 / 14.7 = 1.21.
    EXPECT_EQ(std::tuple(a.status, a.samples, a.proposedRaw), std::tuple(FuelCorrection::CellStatus::Proposed, 11, 21));
    EXPECT_EQ(p.settling, 1u);
    // Both ends of every load jump, by the jump's way: the stab (two rows
    // rising, one falling) and the three moves between the blocks (two rows
    // each: up, down, up).
    EXPECT_EQ(std::pair(p.risingTransients, p.fallingTransients), std::pair(std::size_t(6), std::size_t(3)));

    EXPECT_FALSE(p.cells[3 * 16 + 6].changes()) << "closed loop";
    // (4, 2): its first and last rows are transients, too few; (5, 10) capped.
    EXPECT_EQ(std::pair(p.cells[4 * 16 + 2].samples, p.cells[5 * 16 + 10].proposedRaw), std::pair(1, 127));

    // A locked cell keeps its value whatever its samples say.
    s.locked[5 * 16 + 10] = true;
    const FuelCorrection::Proposal locked = FuelCorrection::Compute(log, tune, s);
    EXPECT_EQ(std::pair(locked.cells[5 * 16 + 10].status, locked.cells[5 * 16 + 10].changes()),
              std::pair(FuelCorrection::CellStatus::Locked, false));
    s.locked = {};
    // The window between the viewer's cursors: only the first 12 rows, so
    // only (1,1), none of them spent beyond the window.
    const FuelCorrection::Proposal window = FuelCorrection::Compute(log, tune, s, nullptr, {}, 0, 12);
    EXPECT_EQ(std::tuple(window.cells[1 * 16 + 1].samples, window.cells[5 * 16 + 10].samples, window.rows),
              std::tuple(11, 0, std::size_t(12)));

    // Through a formula: the column logs lambda, the formula makes it a ratio.
    s.afrFormula = "V*14.7";
    EXPECT_EQ(FuelCorrection::Compute(logOf(steadyRows(10, 1000, 16, 1.1f, 0)), tune, s).cells[17].proposedRaw, 21);
    s.map = MapKey::HOTM;
    EXPECT_FALSE(FuelCorrection::Compute(log, tune, s).error.isEmpty()) << "a timing map is no fuel map";
}

} // namespace

namespace {

// The chosen cells go in as one edit (its undo runs through the window in
// ViewerTest); closed-loop cells, values out of range and cells changed since
// the proposal are never written.
TEST(ApplyCorrection, ChosenCellsAreOneEditWrittenToTheBoxInRealTime)
{
    ProgramState state;
    CVMapInfo &fuel = state.tune.map(MapKey::HOHGFM);
    fuel.SetMapValue(17, 10);
    fuel.SetMapValue(18, 20);
    fuel.SetMapValue(19, 200); // closed loop: never overwritten
    fuel.SetMapValue(22, 30);  // changed by the tuner since the proposal (from 25)
    QStringList steps;
    QObject::connect(&state, &ProgramState::editNoted, [&](const QString &label) { steps << label; });
    LinkSession link;
    RecordingSender sender(false);
    EditSession edits(state, link, sender);
    const int changed = ApplyCorrection::Apply(edits, MapKey::HOHGFM,
                                               {{17, 21, 10}, {18, 15}, {19, 50}, {20, 128}, {300, 5},
                                                {21, fuel.MapValue(21)}, {22, 33, 25}});
    EXPECT_EQ(std::tuple(changed, fuel.MapValue(17), fuel.MapValue(18), fuel.MapValue(19), fuel.MapValue(22),
                         steps.size()),
              std::tuple(2, 21, 15, 200, 30, qsizetype(1)));
    EXPECT_TRUE(state.ChangesNotSent() && sender.values.empty()) << "not in real-time mode";

    // In real-time mode every changed cell is written to the box (item 3:
    // High Octane High Gear Fuel).
    testlink::GoLive(link);
    state.NoteSent();
    ApplyCorrection::Apply(edits, MapKey::HOHGFM, {{17, 22}});
    EXPECT_EQ(sender.values, (std::vector<SentValue>{{TuneItem::HOHGFM, 17, 22}}));
    EXPECT_FALSE(state.ChangesNotSent());
    // A timing map is not a fuel map: nothing happens.
    EXPECT_EQ(ApplyCorrection::Apply(edits, MapKey::HOTM, {{17, 22}}), 0);
}

} // namespace

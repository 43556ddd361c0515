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
#include "model/TuneHistory.h"
#include "platform/SettingsStore.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <QStringList>

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <random>

namespace {

// ---- Decimation ---------------------------------------------------------------

bool contains(const std::vector<QPointF> &points, double t, double v)
{
    return std::any_of(points.begin(), points.end(), [&](const QPointF &p) { return p.x() == t && p.y() == v; });
}

TEST(Decimation, EveryBucketKeepsItsMinimumAndMaximum)
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
    const int buckets = 500;
    std::vector<QPointF> out;
    Decimation::MinMax(t, v, 0, t.back(), buckets, out);
    EXPECT_LE(out.size(), static_cast<std::size_t>(buckets) * 4 + 2);
    EXPECT_TRUE(contains(out, t[31337], 50.0));
    EXPECT_TRUE(contains(out, t[77777], -40.0));
    EXPECT_TRUE(std::is_sorted(out.begin(), out.end(), [](const QPointF &a, const QPointF &b) { return a.x() < b.x(); }));

}

TEST(Decimation, ZoomedRangeAndShortSeries)
{
    std::vector<double> t;
    std::vector<float> v;
    for (int i = 0; i < 1000; ++i) {
        t.push_back(i);
        v.push_back(i % 10 == 3 ? std::numeric_limits<float>::quiet_NaN() : static_cast<float>(i % 17));
    }
    std::vector<QPointF> out;
    // Few samples in view: all of them (gaps skipped) plus one either side.
    Decimation::MinMax(t, v, 100.0, 110.0, 100, out);
    ASSERT_FALSE(out.empty());
    EXPECT_EQ(out.front().x(), 99.0);
    EXPECT_EQ(out.back().x(), 111.0);
    EXPECT_FALSE(contains(out, 103.0, v[103]));
    EXPECT_EQ(out.size(), 12u); // 99..111 without 103

    double lo = 0, hi = 0;
    Decimation::RangeOf(t, v, 0, 999, lo, hi);
    EXPECT_EQ(lo, 0.0);
    EXPECT_EQ(hi, 16.0);
    Decimation::RangeOf(t, v, 2000, 3000, lo, hi);
    EXPECT_TRUE(std::isnan(lo));

    Decimation::MinMax({}, {}, 0, 1, 10, out);
    EXPECT_TRUE(out.empty());
}

// ---- Overlay ----------------------------------------------------------------------

// Fuel RPM axis 500, 1000, ... 8000 RPM (raw 10, 20, ... 160); fuel TP axis
// 0, 16, ... 240. Timing axes differ so a mix-up shows.
Tune testTune()
{
    Tune tune;
    for (int i = 0; i < 16; ++i) {
        tune.map(MapKey::FUELRPM).SetMapValue(i, 10 + 10 * i);
        tune.map(MapKey::FUELTP).SetMapValue(i, 16 * i);
        tune.map(MapKey::TIMINGRPM).SetMapValue(i, 20 + 12 * i);
        tune.map(MapKey::TIMINGTP).SetMapValue(i, 10 + 15 * i);
    }
    return tune;
}

DataLog logOf(const QByteArray &body, const char *header = "DATE/TIME,RPM,TP,AFR")
{
    DataLogReport report;
    DataLog log = ParseDataLog(QByteArray(header) + "\r\n" + body, &report);
    EXPECT_TRUE(report.ok);
    return log;
}

TEST(CellOverlay, SamplesLandWhereTheLiveTraceWouldPutThem)
{
    const Tune tune = testTune();
    struct Case
    {
        float rpm, tp;
        MapKey map;
        int row, col;
    };
    const Case cases[] = {
        {1275, 24, MapKey::HOFM, 2, 1},     // R(25.5) = 26 -> nearest 30 (row 2); TP 24 ties 16/32 -> lower
        {1225, 24.01f, MapKey::HOFM, 1, 1}, // R(24.5) = 24 -> nearest 20; 24.01 -> 24 -> tie -> lower
        {0, 0, MapKey::LOHGFM, 0, 0},
        {20000, 300, MapKey::HOHGFM, 15, 15},
        {1000, 24.5f, MapKey::LOFM, 1, 1},  // load rounds like the tick: R(24.5) = 24
        {1000, 25.5f, MapKey::LOFM, 1, 2},  // R(25.5) = 26 -> nearer 32
        {1000, 24, MapKey::HOTM, 0, 1},     // timing axes: raw 20 -> row 0; TP 24 -> 25 (col 1)
    };
    for (const Case &c : cases) {
        const auto cell = CellOverlay::CellOf(tune, c.map, c.rpm, c.tp);
        ASSERT_TRUE(cell);
        EXPECT_EQ(cell->rpmIndex, c.row) << c.rpm << " " << c.tp;
        EXPECT_EQ(cell->tpIndex, c.col) << c.rpm << " " << c.tp;
    }
    EXPECT_FALSE(CellOverlay::CellOf(tune, MapKey::HOFM, std::nanf(""), 10));
    EXPECT_FALSE(CellOverlay::CellOf(tune, MapKey::FUELRPM, 1000, 10));
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
    EXPECT_EQ(r.samples, 4u);
    EXPECT_EQ(r.skipped, 1u);
    EXPECT_EQ(r.counts[1 * 16 + 1], 3);
    EXPECT_DOUBLE_EQ(r.averages[1 * 16 + 1], 14.5);
    EXPECT_DOUBLE_EQ(r.averages[5 * 16 + 6], 12.0);
    EXPECT_TRUE(std::isnan(r.averages[0]));

    // A row range: only the last two rows.
    const CellOverlay::Result part = CellOverlay::Compute(log, tune, MapKey::HOFM, rpm, tp, -1, 3, 99);
    EXPECT_EQ(part.counts[5 * 16 + 6], 1);
    EXPECT_TRUE(std::isnan(part.averages[5 * 16 + 6]));
}

// ---- Fuel correction ------------------------------------------------------------

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
    const std::vector<float> tp{20, 21, 22, 40, 41, 41, std::nanf(""), 41, 30};
    const std::vector<bool> steady = FuelCorrection::SteadyMask(tp, 8.0);
    const std::vector<bool> expected{true, true, false, false, true, true, false, false, false};
    EXPECT_EQ(steady, expected);
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
    rows += steadyRows(20, 2000, 96, 15.0f, 400);  // (3,6): closed loop
    rows += steadyRows(3, 2500, 32, 13.0f, 1000);  // (4,2): too few
    rows += steadyRows(11, 3000, 160, 20.0f, 1100); // (5,10): e 120 lean -> capped
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
    EXPECT_EQ(a.status, FuelCorrection::CellStatus::Proposed);
    // The 12 rows before the stab lose their last one, the first row after
    // it (25.0) goes too, the next one is kept: 11 + 1, all at 16.17.
    EXPECT_EQ(a.samples, 12);
    EXPECT_EQ(a.proposedRaw, 21); // 1.1 x 16.17 / 14.7 = 1.21
    // Both ends of every load jump: the stab (3 rows) and the three moves
    // between the blocks (2 rows each).
    EXPECT_EQ(p.transients, 9u);

    EXPECT_EQ(p.cells[3 * 16 + 6].status, FuelCorrection::CellStatus::ClosedLoop);
    EXPECT_FALSE(p.cells[3 * 16 + 6].changes());
    EXPECT_EQ(p.cells[4 * 16 + 2].status, FuelCorrection::CellStatus::TooFewSamples);
    EXPECT_EQ(p.cells[4 * 16 + 2].samples, 1); // its first and last rows are transients
    const auto &capped = p.cells[5 * 16 + 10];
    EXPECT_EQ(capped.proposedRaw, 127);
    EXPECT_TRUE(capped.clamped);
    EXPECT_EQ(p.cells[0].status, FuelCorrection::CellStatus::NoSamples);

    // Through a formula: the column logs lambda, the formula makes it a ratio.
    s.afrFormula = "V*14.7";
    EXPECT_EQ(FuelCorrection::Compute(logOf(steadyRows(10, 1000, 16, 1.1f, 0)), tune, s).cells[17].proposedRaw, 21);
    s.afrFormula.clear();
    s.afrColumn = "Wideband";
    EXPECT_FALSE(FuelCorrection::Compute(log, tune, s).error.isEmpty());
    s.afrColumn = "AFR";
    s.map = MapKey::HOTM;
    EXPECT_FALSE(FuelCorrection::Compute(log, tune, s).error.isEmpty());
}

TEST(FuelCorrection, SettingsRoundTripAndDamagedValuesKeepTheirDefaults)
{
    QTemporaryDir dir;
    SettingsStore store(dir.filePath("prefs.ini"));
    FuelCorrection::Settings s;
    s.afrColumn = "Wideband";
    s.afrFormula = "V*2+10";
    s.minSamples = 25;
    s.transientTp = 4.5;
    s.map = MapKey::LOHGFM;
    s.targets.afr[17] = 13.3;
    ASSERT_TRUE(FuelCorrection::SaveSettings(store, s));
    const FuelCorrection::Settings back = FuelCorrection::LoadSettings(store);
    EXPECT_EQ(back.afrColumn, s.afrColumn);
    EXPECT_EQ(back.afrFormula, s.afrFormula);
    EXPECT_EQ(back.minSamples, 25);
    EXPECT_DOUBLE_EQ(back.transientTp, 4.5);
    EXPECT_EQ(back.map, MapKey::LOHGFM);
    EXPECT_EQ(back.targets.afr, s.targets.afr);

    store.WriteText("FuelCorrection", "MinSamples", "-3");
    store.WriteText("FuelCorrection", "Map", "HOTM");
    store.WriteText("FuelCorrection", "Target0", "abc,99,13.1");
    const FuelCorrection::Settings damaged = FuelCorrection::LoadSettings(store);
    EXPECT_EQ(damaged.minSamples, FuelCorrection::Settings{}.minSamples);
    EXPECT_EQ(damaged.map, MapKey::HOFM);
    EXPECT_EQ(damaged.targets.afr[0], FuelCorrection::TargetTable::Defaults().afr[0]);
    EXPECT_DOUBLE_EQ(damaged.targets.afr[2], 13.1);
}

} // namespace

namespace {

class RecordingSender : public RealTimeSender
{
public:
    void SendRealTimeValue(int item, int index, int value) override { sent.push_back({item, index, value}); }
    void SendRealTimeVersion(const QString &) override {}
    std::vector<std::array<int, 3>> sent;
};

// The chosen cells go in as one edit: one step of the undo history, which
// takes them all back at once.
TEST(ApplyCorrection, ChosenCellsAreOneUndoableStep)
{
    ProgramState state;
    CVMapInfo &fuel = state.tune.map(MapKey::HOHGFM);
    fuel.SetMapValue(17, 10);
    fuel.SetMapValue(18, 20);
    fuel.SetMapValue(19, 200); // closed loop: never overwritten
    TuneHistory history(state.tune);
    history.Reset(true);
    QStringList steps;
    state.EditNoted = [&](const QString &label) {
        steps << label;
        history.Record(label);
    };
    RecordingSender sender;
    EditSession edits(state, sender);
    const int changed = ApplyCorrection::Apply(edits, MapKey::HOHGFM,
                                               {{17, 21}, {18, 15}, {19, 50}, {20, 128}, {300, 5}, {21, fuel.MapValue(21)}});
    EXPECT_EQ(changed, 2);
    EXPECT_EQ(fuel.MapValue(17), 21);
    EXPECT_EQ(fuel.MapValue(18), 15);
    EXPECT_EQ(fuel.MapValue(19), 200);
    EXPECT_EQ(steps.size(), 1);
    EXPECT_EQ(history.StepCount(), 1);
    EXPECT_TRUE(state.ChangesNotSent);
    EXPECT_TRUE(sender.sent.empty()); // not in real-time mode

    ASSERT_TRUE(history.Undo());
    EXPECT_EQ(fuel.MapValue(17), 10);
    EXPECT_EQ(fuel.MapValue(18), 20);

    // In real-time mode every changed cell is written to the box (item 3:
    // High Octane High Gear Fuel).
    state.RealTimeEnabled = true;
    state.ChangesNotSent = false;
    ApplyCorrection::Apply(edits, MapKey::HOHGFM, {{17, 22}});
    ASSERT_EQ(sender.sent.size(), 1u);
    EXPECT_EQ(sender.sent[0], (std::array<int, 3>{3, 17, 22}));
    EXPECT_FALSE(state.ChangesNotSent);
    // A timing map is not a fuel map: nothing happens.
    EXPECT_EQ(ApplyCorrection::Apply(edits, MapKey::HOTM, {{17, 22}}), 0);
}

} // namespace

// Where the fuel correction puts a sample: the engine's place the delay
// before its reading, the delay found from the log, the weights
// of the cells around a point between axis entries.

#include "analysis/CorrectionDelay.h"
#include "analysis/CorrectionSamples.h"
#include "analysis/DataLog.h"
#include "analysis/FuelCorrection.h"
#include "model/Tune.h"
#include "support/TestEnv.h"

#include <algorithm>
#include <cmath>
#include <gtest/gtest.h>

namespace {

// An engine that holds a new cell of the fuel map every 1.5 s and burns a
// ratio of its own in each; what it burned reaches the sensor delayMs later
// and the sensor follows through a lag of lagMs. Logged every periodMs.
struct StepLog
{
    DataLog log;
    std::vector<float> rpm, tp, ratio;
};

StepLog stepLog(int periodMs, double delayMs, double lagMs)
{
    // Steps of 1 to 1.8 s through the cells in a scrambled order, so that a
    // cell is reached from different cells and left to different ones.
    std::vector<std::pair<double, std::pair<int, int>>> steps;
    for (int k = 0; k * 1.0 < 130; ++k)
        steps.push_back({(steps.empty() ? 0.0 : steps.back().first + 1.0 + (k % 3) * 0.4),
                         {(k * k * 7 + k * 3) % 14 + 1, (k * k * 5 + k) % 12 + 2}});
    const auto cellAt = [&](double t) {
        auto it = std::upper_bound(steps.begin(), steps.end(), t,
                                   [](double at, const auto &step) { return at < step.first; });
        return std::prev(it)->second;
    };
    const auto need = [](int row, int col) { return 14.0 + 3.0 * std::sin(row * 0.9 + col * 1.3); };
    StepLog out;
    double sensed = 14.0;
    for (int ms = 0; ms < 120000; ++ms) {
        const double t = ms / 1000.0;
        const double then = std::max(0.0, t - delayMs / 1000.0);
        const auto [row, col] = cellAt(then);
        sensed += lagMs > 0 ? (need(row, col) - sensed) * (1 - std::exp(-1.0 / lagMs)) : need(row, col) - sensed;
        if (ms % periodMs)
            continue;
        const auto [nowRow, nowCol] = cellAt(t);
        out.log.time.push_back(t);
        out.rpm.push_back(float(500 * (nowRow + 1)));
        out.tp.push_back(float(16 * nowCol));
        out.ratio.push_back(float(sensed + 0.01 * std::sin(ms * 1.7)));
    }
    return out;
}

} // namespace

// The delay is found, the sensor's response included, whatever the log's
// period, and each reading is charged to the row the delay before it.
TEST(CorrectionSamples, TheDelayIsFoundAndEachReadingChargedToTheRowBeforeIt)
{
    Tune tune;
    testenv::risingAxes(tune);
    for (const auto &[period, delay, lag] : {std::tuple(100, 900.0, 100.0), {100, 250.0, 0.0}, {50, 1000.0, 50.0},
                                             {20, 0.0, 0.0}}) {
        const StepLog s = stepLog(period, delay, lag);
        const auto found = CorrectionDelay::EstimateMs(s.log, tune, MapKey::HOFM, s.rpm, s.tp, s.ratio, 10, 20);
        ASSERT_TRUE(found) << period << " " << delay;
        // A first-order lag delays a reading by its time constant on average;
        // between two rows the engine's place is not known closer than half
        // the period.
        EXPECT_NEAR(*found, delay + lag, period / 2.0) << period;
        const auto rows = CorrectionSamples::DelayedRows(s.log, delay);
        const std::size_t first = std::size_t(std::ceil(delay / period));
        EXPECT_FALSE(first > 0 && rows[first - 1]) << "no row before the log's start";
        EXPECT_EQ(rows[first + 7], 7u) << period;
    }
    StepLog flat = stepLog(100, 500, 100);
    std::fill(flat.ratio.begin(), flat.ratio.end(), 14.7f);
    EXPECT_FALSE(CorrectionDelay::EstimateMs(flat.log, tune, MapKey::HOFM, flat.rpm, flat.tp, flat.ratio, 10, 20))
        << "a ratio that never moves tells nothing of the delay";
}

// A point between axis entries weighs on the cells around it by nearness.
TEST(CorrectionSamples, CellsAroundAPointShareItByNearness)
{
    Tune tune;
    testenv::risingAxes(tune); // fuel RPM 500, 1000, ..; load 0, 16, ..
    using W = std::vector<std::pair<int, double>>;
    const auto weights = [&](double rpm, double tp) {
        W out;
        for (const auto &w : CorrectionSamples::CellWeights(tune, MapKey::HOFM, rpm, tp))
            out.push_back({w.entry, std::round(w.weight * 1000) / 1000});
        return out;
    };
    EXPECT_EQ(weights(1000, 32), (W{{1 * 16 + 2, 1.0}})) << "on an entry of both axes";
    EXPECT_EQ(weights(1250, 32), (W{{1 * 16 + 2, 0.5}, {2 * 16 + 2, 0.5}}));
    EXPECT_EQ(weights(1000, 36), (W{{1 * 16 + 2, 0.75}, {1 * 16 + 3, 0.25}}));
    EXPECT_EQ(weights(1100, 44), (W{{18, 0.2}, {19, 0.6}, {34, 0.05}, {35, 0.15}})) << "a fifth of the way, three quarters";
    EXPECT_EQ(weights(9000, 300), (W{{255, 1.0}})) << "beyond both axes: the corner cell";
    tune.map(MapKey::FUELRPM).SetMapValue(5, 1); // an axis that does not rise
    EXPECT_EQ(weights(1250, 36).size(), 1u);
    EXPECT_TRUE(weights(std::nan(""), 36).empty());
}

// Each left-out sample is counted once, under its reason; the proposal uses
// the samples the delay charges to a steady engine.
TEST(CorrectionSamples, EveryLeftOutSampleIsCountedOnceUnderItsReason)
{
    QByteArray text = "DATE/TIME,RPM,TP,AFR,Coolant\r\n";
    const struct { int count; float tp, afr, coolant; } blocks[] = {
        {10, 64, 16, 40}, {10, 64, 16, 90}, {1, 100, 16, 90}, {3, 100, 16, 90}, {1, 60, 16, 90},
        {4, 60, 10, 90}, {5, 60, 15.4f, 90}, {6, 5, 15, 90},
    };
    int row = 0;
    for (const auto &b : blocks)
        for (int i = 0; i < b.count; ++i, ++row)
            text += QStringLiteral("2026-01-01 10:00:%1.%2,2000,%3,%4,%5\r\n")
                        .arg(row / 10, 2, 10, QChar('0')).arg(row % 10 * 100, 3, 10, QChar('0'))
                        .arg(b.tp).arg(b.afr).arg(b.coolant).toLatin1();
    FuelCorrection::Settings s;
    s.afrColumn = "AFR";
    s.delayMs = 200;
    const FuelCorrection::Proposal p = FuelCorrection::Compute(ParseDataLog(text), Tune(), s);
    // 40 rows, each charged to the row 2 before it: 2 before the delay; 8
    // cold (the coolant is the reading's own); the rise to 100 (2 rows), the
    // falls to 60 and to 5 (2 rows each); 2 readings at the sensor's end
    // (10; the other 2 fell on the fall to 60), and the 6 plausible ones
    // in the second after them; 3 at closed throttle.
    EXPECT_EQ(std::tuple(p.beforeDelay, p.warmingUp, p.risingTransients, p.fallingTransients, p.implausible,
                         p.settling, p.decelerating, p.used),
              std::tuple(2u, 8u, 2u, 4u, 2u, 6u, 3u, 13u));
}

// Where the fuel correction puts a sample: the engine's place the delay
// before its reading, the delay found from throttle steps, and the weights
// of the cells around a point between axis entries.

#include "analysis/CorrectionSamples.h"
#include "analysis/DataLog.h"
#include "analysis/FuelCorrection.h"
#include "model/Tune.h"
#include "support/TestEnv.h"

#include <cmath>
#include <gtest/gtest.h>

namespace {

// A log every periodMs: throttle steps between 20 and 80 every 4 s; the ratio
// answers each step delayMs later through a 100 ms sensor lag, lean after a
// rise and rich after a fall, with a little noise.
DataLog stepLog(int periodMs, double delayMs, std::vector<float> &tp, std::vector<float> &ratio)
{
    DataLog log;
    double reading = 14.7;
    for (int i = 0; i * periodMs < 40000; ++i) {
        const double t = i * periodMs / 1000.0;
        const bool high = int(t / 4) % 2 == 1;
        log.time.push_back(t);
        tp.push_back(high ? 80 : 20);
        const double then = t - delayMs / 1000.0;
        const bool wasHigh = then >= 0 && int(then / 4) % 2 == 1;
        const double sinceStep = std::fmod(std::max(then, 0.0), 4.0);
        const double burned = 14.7 + (sinceStep < 0.6 && then >= 4 ? (wasHigh ? 1.5 : -1.5) : 0.0);
        reading += (burned - reading) * (1 - std::exp(-periodMs / 100.0));
        ratio.push_back(float(reading + 0.02 * std::sin(i * 1.7)));
    }
    return log;
}

} // namespace

// The delay is found within a fraction of the log's period, whatever it is,
// and each reading is charged to the row the delay before it.
TEST(CorrectionSamples, TheDelayIsFoundAndEachReadingChargedToTheRowBeforeIt)
{
    for (const auto &[period, delay] : {std::pair(100, 900.0), {100, 250.0}, {50, 1000.0}, {20, 0.0}}) {
        std::vector<float> tp, ratio;
        const DataLog log = stepLog(period, delay, tp, ratio);
        const std::optional<double> found = CorrectionSamples::EstimateDelayMs(log, tp, ratio);
        ASSERT_TRUE(found) << period << " " << delay;
        EXPECT_NEAR(*found, delay, 60) << period;
        const auto rows = CorrectionSamples::DelayedRows(log, delay);
        const std::size_t first = std::size_t(std::ceil(delay / period));
        EXPECT_FALSE(first > 0 && rows[first - 1]) << "no row before the log's start";
        EXPECT_EQ(rows[first + 7], 7u) << period;
    }
    std::vector<float> tp(50, 30.0f), ratio(50, 14.7f);
    DataLog flat;
    for (int i = 0; i < 50; ++i)
        flat.time.push_back(i * 0.1);
    EXPECT_FALSE(CorrectionSamples::EstimateDelayMs(flat, tp, ratio)) << "no step, no estimate";
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
    // (10; the other 2 fell on the fall to 60); 3 at closed throttle.
    EXPECT_EQ(std::tuple(p.beforeDelay, p.warmingUp, p.risingTransients, p.fallingTransients, p.implausible,
                         p.decelerating, p.used),
              std::tuple(2u, 8u, 2u, 4u, 2u, 3u, 19u));
}

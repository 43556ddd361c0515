// Gauge geometry: value to needle angle and bar length, scale ranges, ticks.

#include "daq/CVDAQInput.h"
#include "daq/CVScalingCalculator.h"
#include "gauges/GaugeRanges.h"
#include "gauges/GaugeScale.h"
#include "model/Tune.h"

#include <cmath>
#include <gtest/gtest.h>
#include <limits>

using namespace GaugeScale;

namespace {
constexpr double NaN = std::numeric_limits<double>::quiet_NaN();
constexpr double Inf = std::numeric_limits<double>::infinity();
} // namespace

// Values outside the scale, not numbers or on an empty or reversed range
// rest at an end, never outside the dial or the bar.
TEST(GaugeScale, NeedleAngleAndBarLength)
{
    const struct
    {
        double value;
        Range range;
        double angle;
    } dial[] = {
        {0, {0, 8000}, 225},  {8000, {0, 8000}, -45}, {2000, {0, 8000}, 157.5}, {-500, {0, 8000}, 225},
        {9000, {0, 8000}, -45}, {NaN, {0, 100}, 225}, {Inf, {0, 100}, 225},     {5, {10, 0}, 225},
    };
    for (const auto &c : dial)
        EXPECT_DOUBLE_EQ(DialAngle(c.value, c.range), c.angle) << c.value;
    const struct
    {
        double value;
        int full;
        int length;
    } bar[] = {{100, 200, 200}, {6.88, 200, 14}, {0.24, 200, 0}, {150, 200, 200},
               {-3, 200, 0},    {NaN, 200, 0},   {50, -5, 0}};
    for (const auto &c : bar)
        EXPECT_EQ(BarLength(c.value, {0, 100}, c.full), c.length) << c.value << " of " << c.full;
}

TEST(GaugeScale, NiceRangesAndTheirTicks)
{
    const struct
    {
        double lo, hi;
        Range nice;
    } cases[] = {
        {0, 8500, {0, 10000}}, {0, 255, {0, 300}}, {-3, 7, {-4, 8}},   {0, 0, {0, 1}},
        {7, 2, {2, 7}},        {0.1, 0.37, {0.1, 0.4}}, {NaN, 10, {0, 10}}, {0, Inf, {0, 1}},
    };
    for (const auto &c : cases) {
        const Range r = NiceRange(c.lo, c.hi);
        EXPECT_NEAR(r.min, c.nice.min, 1e-9) << c.lo << ".." << c.hi;
        EXPECT_NEAR(r.max, c.nice.max, 1e-9) << c.lo << ".." << c.hi;
    }

    EXPECT_EQ(Ticks({-4, 8}), (QVector<double>{-4, -2, 0, 2, 4, 6, 8}));
    EXPECT_TRUE(Ticks({3, 3}).isEmpty());
    EXPECT_TRUE(Ticks({0, NaN}).isEmpty());
}

// Scales come from the set-up: the formula over 0..5 V, the thresholds, the
// tune's rev limit and load axis.
TEST(GaugeRanges, FromTheSetUpNeverFromReadings)
{
    CVScalingCalculator calc;
    const struct
    {
        const char *formula;
        bool thresholds;
        Range range;
    } cases[] = {
        {"V*20", false, {0, 100}}, {"100-V*20", false, {0, 100}}, {"(V-0.5)*250", false, {-500, 1500}},
        {"V/0", false, {0, 5}},    {"V", true, {0, 25}},
    };
    for (const auto &c : cases) {
        CVDAQInput input;
        input.SetScalingFormula(c.formula);
        input.SetThresholdsEnabled(c.thresholds);
        input.SetWarningThreshold(10);
        input.SetCriticalThreshold(20);
        EXPECT_EQ(GaugeRanges::Input(input, calc), c.range) << c.formula;
    }
    Tune tune;
    EXPECT_EQ(GaugeRanges::Tp(tune), (Range{0, 300})) << "no load axis yet: the whole byte";
    tune.map(MapKey::FUELTP).SetMapValue(15, 160);
    tune.general().SetRevLimiter(190); // 9500 RPM
    EXPECT_EQ(std::pair(GaugeRanges::Tp(tune), GaugeRanges::Rpm(tune)), std::pair(Range{0, 200}, Range{0, 10000}));
}

// Gauge geometry: value to needle angle and bar length, scale ranges, ticks.

#include "gauges/GaugeScale.h"

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

TEST(GaugeScale, NiceRangesThatOnlyGrowAndTheirTicks)
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
    EXPECT_EQ(Grow({0, 5}, NaN), (Range{0, 5}));
    EXPECT_EQ(Grow({0, 5}, -2), (Range{-2, 6}));
    EXPECT_EQ(Grow(Range{0, 8000}, 9100), (Range{0, 10000}));

    EXPECT_EQ(Ticks({-4, 8}), (QVector<double>{-4, -2, 0, 2, 4, 6, 8}));
    EXPECT_TRUE(Ticks({3, 3}).isEmpty());
    EXPECT_TRUE(Ticks({0, NaN}).isEmpty());
}

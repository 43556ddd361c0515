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

TEST(GaugeScale, ValueToNeedleAngle)
{
    struct Case
    {
        double value;
        Range range;
        double angle;
    };
    const Case cases[] = {
        {0, {0, 8000}, 225},     {8000, {0, 8000}, -45},   {4000, {0, 8000}, 90},
        {2000, {0, 8000}, 157.5}, {-500, {0, 8000}, 225},  {9000, {0, 8000}, -45}, // clamped at both ends
        {0, {-10, 10}, 90},      {NaN, {0, 100}, 225},     {Inf, {0, 100}, 225},
        {5, {3, 3}, 225},        {5, {10, 0}, 225}, // an empty or reversed range rests at the start
    };
    for (const Case &c : cases)
        EXPECT_DOUBLE_EQ(DialAngle(c.value, c.range), c.angle)
            << c.value << " in " << c.range.min << ".." << c.range.max;
}

TEST(GaugeScale, ValueToBarLength)
{
    struct Case
    {
        double value;
        Range range;
        int full;
        int length;
    };
    const Case cases[] = {
        {0, {0, 100}, 200, 0},    {100, {0, 100}, 200, 200}, {50, {0, 100}, 200, 100},
        {6.88, {0, 100}, 200, 14}, {0.25, {0, 100}, 200, 1},  {0.24, {0, 100}, 200, 0}, // whole pixels
        {150, {0, 100}, 200, 200}, {-3, {0, 100}, 200, 0},    {NaN, {0, 100}, 200, 0},
        {50, {0, 100}, 0, 0},      {50, {0, 100}, -5, 0},
    };
    for (const Case &c : cases)
        EXPECT_EQ(BarLength(c.value, c.range, c.full), c.length) << c.value << " of " << c.full;
}

TEST(GaugeScale, NiceRanges)
{
    struct Case
    {
        double lo, hi;
        Range nice;
    };
    const Case cases[] = {
        {0, 8000, {0, 8000}},  {0, 8500, {0, 10000}}, {0, 5, {0, 5}},       {0, 100, {0, 100}},
        {0, 255, {0, 300}},    {-3, 7, {-4, 8}},      {0, 0, {0, 1}},       {7, 2, {2, 7}},
        {0.1, 0.37, {0.1, 0.4}}, {NaN, 10, {0, 10}},  {0, Inf, {0, 1}},
    };
    for (const Case &c : cases) {
        const Range r = NiceRange(c.lo, c.hi);
        EXPECT_NEAR(r.min, c.nice.min, 1e-9) << c.lo << ".." << c.hi;
        EXPECT_NEAR(r.max, c.nice.max, 1e-9) << c.lo << ".." << c.hi;
        EXPECT_LE(r.min, std::isfinite(c.lo) ? std::min(c.lo, c.hi) : 0.0);
    }
}

TEST(GaugeScale, RangesOnlyGrow)
{
    const Range r{0, 5};
    EXPECT_EQ(Grow(r, 3.2), r);
    EXPECT_EQ(Grow(r, 0), r);
    EXPECT_EQ(Grow(r, NaN), r);
    EXPECT_EQ(Grow(r, 7.5), (Range{0, 8}));
    EXPECT_EQ(Grow(r, -2), (Range{-2, 6}));
    EXPECT_EQ(Grow(Range{0, 8000}, 9100), (Range{0, 10000}));
}

TEST(GaugeScale, TicksFallOnTheNiceStep)
{
    EXPECT_EQ(Ticks({0, 8000}), (QVector<double>{0, 2000, 4000, 6000, 8000}));
    EXPECT_EQ(Ticks({0, 5}), (QVector<double>{0, 1, 2, 3, 4, 5}));
    EXPECT_EQ(Ticks({-4, 8}), (QVector<double>{-4, -2, 0, 2, 4, 6, 8}));
    EXPECT_TRUE(Ticks({3, 3}).isEmpty());
    EXPECT_TRUE(Ticks({0, NaN}).isEmpty());
}

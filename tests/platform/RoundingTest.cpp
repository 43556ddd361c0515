#include "platform/NiceSteps.h"
#include "platform/Rounding.h"

#include <tuple>

#include <gtest/gtest.h>

TEST(Rounding, HalvesGoToTheEvenInteger)
{
    const std::pair<double, long long> cases[] = {
        {2.5, 2}, {3.5, 4}, {-2.5, -2}, {0.5, 0}, {2.4999, 2}, {2.5001, 3}, {25.5, 26}, {-0.5, 0},
    };
    for (auto [x, expected] : cases)
        EXPECT_EQ(vnt::RoundHalfEven(x), expected) << x;
}

// Ticks and scales step by 1, 2 or 5 times a power of ten.
TEST(NiceSteps, OneTwoOrFiveTimesAPowerOfTen)
{
    const std::tuple<double, int, double> cases[] = {
        {7365, 6, 2000}, {100, 4, 50}, {1, 10, 0.1}, {0.37, 6, 0.1}, {12, 6, 2}, {0, 5, 1}, {-3, 5, 1}, {10, 0, 1},
    };
    for (auto [span, steps, step] : cases)
        EXPECT_DOUBLE_EQ(NiceSteps::Step(span, steps), step) << span << " in " << steps;
}

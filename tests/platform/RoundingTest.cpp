#include "platform/Rounding.h"

#include <gtest/gtest.h>

TEST(Rounding, HalvesGoToTheEvenInteger)
{
    const std::pair<double, long long> cases[] = {
        {2.5, 2}, {3.5, 4}, {-2.5, -2}, {0.5, 0}, {2.4999, 2}, {2.5001, 3}, {25.5, 26}, {-0.5, 0},
    };
    for (auto [x, expected] : cases)
        EXPECT_EQ(vnt::RoundHalfEven(x), expected) << x;
}

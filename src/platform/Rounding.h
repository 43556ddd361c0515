#pragma once

#include <algorithm>
#include <cmath>
#include <limits>

namespace vnt {

// R(x): the nearest integer, ties to the even one (2.5 -> 2, 3.5 -> 4), the
// way every real number typed or computed becomes a stored integer.
inline long long RoundHalfEven(double x)
{
    return static_cast<long long>(std::nearbyint(x)); // default FE_TONEAREST
}

// R(x) as an int: a value beyond an int's range is held at its edge and one
// that is no number at all (NaN) becomes 0, so no rule downstream sees an
// undefined conversion.
inline int R(double x)
{
    if (std::isnan(x))
        return 0;
    constexpr double low = std::numeric_limits<int>::min();
    constexpr double high = std::numeric_limits<int>::max();
    return static_cast<int>(RoundHalfEven(std::clamp(x, low, high)));
}

} // namespace vnt

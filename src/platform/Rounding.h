#pragma once

#include <cmath>

namespace vnt {

// R(x): the nearest integer, ties to the even one (2.5 -> 2, 3.5 -> 4), the
// way every real number typed or computed becomes a stored integer.
inline long long RoundHalfEven(double x)
{
    return static_cast<long long>(std::nearbyint(x)); // default FE_TONEAREST
}

} // namespace vnt

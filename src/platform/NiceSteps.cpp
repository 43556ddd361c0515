#include "platform/NiceSteps.h"

#include <cmath>
#include <initializer_list>

namespace NiceSteps {

double Step(double span, int steps)
{
    if (!(span > 0.0) || !std::isfinite(span) || steps < 1)
        return 1.0;
    const double raw = span / steps;
    const double power = std::pow(10.0, std::floor(std::log10(raw)));
    for (double m : {1.0, 2.0, 5.0, 10.0})
        if (m * power >= raw * (1.0 - 1e-9))
            return m * power;
    return 10.0 * power;
}

} // namespace NiceSteps

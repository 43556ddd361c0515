#include "gauges/GaugeRanges.h"

#include "daq/CVDAQInput.h"
#include "model/Tune.h"
#include "model/Units.h"

#include <algorithm>

namespace GaugeRanges {

GaugeScale::Range Rpm(const Tune &tune)
{
    return GaugeScale::NiceRange(0, std::max(8000, Units::RpmOf(tune.general().RevLimiter())));
}

GaugeScale::Range Tp(const Tune &tune)
{
    int top = 0;
    const CVMapInfo &axis = tune.map(MapKey::FUELTP);
    for (int i = 0; i < axis.EntryCount(); ++i)
        top = std::max(top, axis.MapValue(i));
    return GaugeScale::NiceRange(0, top > 0 ? top : 255);
}

GaugeScale::Range Input(const CVDAQInput &input, CVScalingCalculator &calculator)
{
    CVDAQInput probe = input;
    if (probe.SetVoltage(LowVolts, calculator).isSet())
        return GaugeScale::NiceRange(0, 5);
    const double atLow = probe.Value();
    if (probe.SetVoltage(HighVolts, calculator).isSet())
        return GaugeScale::NiceRange(0, 5);
    const double atHigh = probe.Value();
    double low = std::min(atLow, atHigh);
    double high = std::max(atLow, atHigh);
    if (input.ThresholdsEnabled()) {
        // The scale reaches a quarter past the critical mark, where it reads.
        const double critical = input.CriticalThreshold();
        low = std::min({low, double(input.WarningThreshold()), critical});
        high = std::max({high, double(input.WarningThreshold()), critical > 0 ? critical * 1.25 : critical});
    }
    return GaugeScale::NiceRange(low, high);
}

} // namespace GaugeRanges

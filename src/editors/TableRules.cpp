#include "editors/TableRules.h"

#include "editors/GridRules.h"
#include "model/CVMapInfo.h"
#include "model/Rounding.h"

#include <algorithm>
#include <cmath>

namespace TableRules {

QString TTPMinLabel(int index)
{
    return QString::number(175 * (index + 1));
}

QString VQLabel(int index)
{
    return QString::number((index + 1) * 0.08, 'f', 2) + QStringLiteral("v");
}

QString RpmLabel(const CVMapInfo &fuelRpmAxis, int index)
{
    return QString::number(fuelRpmAxis.MapValue(index) * 50);
}

int TTPMinTraceIndex(int rpm)
{
    const long long i = vnt::RoundHalfEven(rpm / 175.0 - 1.0);
    return static_cast<int>(std::clamp<long long>(i, 0, TTPBoxes - 1));
}

int RpmColumnTraceIndex(const CVMapInfo &fuelRpmAxis, int rpm)
{
    return fuelRpmAxis.FindClosestMapIndex(GridRules::RpmAxisValue(rpm));
}

int VQTraceIndex(float voltage)
{
    if (!std::isfinite(voltage))
        voltage = std::isnan(voltage) ? 0.0f : voltage;
    const float position = voltage / 0.08f - 1.0f;
    if (!(position < static_cast<float>(VQBoxes)))
        return VQBoxes - 1;
    if (!(position > -1.0f))
        return 0;
    const long long i = vnt::RoundHalfEven(position);
    return static_cast<int>(std::clamp<long long>(i, 0, VQBoxes - 1));
}

} // namespace TableRules

#include "editors/TableRules.h"

#include "model/CVMapInfo.h"
#include "model/Units.h"

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
    return QString::number(Units::RpmOf(fuelRpmAxis.MapValue(index)));
}

} // namespace TableRules

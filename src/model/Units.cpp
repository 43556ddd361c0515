#include "model/Units.h"

#include "platform/Rounding.h"

namespace Units {

int RawFromRpm(double rpm)
{
    return vnt::R(rpm / RpmPerStep);
}

double MphOf(int raw)
{
    return raw * MphPerStep;
}

int RawFromMph(double mph)
{
    return vnt::R(mph / MphPerStep);
}

double Shown(ItemUnit unit, int raw)
{
    switch (unit) {
    case ItemUnit::Rpm: return RpmOf(raw);
    case ItemUnit::Mph: return MphOf(raw);
    default: return raw;
    }
}

QString ShownText(ItemUnit unit, int raw)
{
    if (unit == ItemUnit::Text)
        return raw == 0 ? QString() : QString(QChar(raw));
    // Fifteen significant digits drop both trailing zeros and the binary
    // fraction's noise (3 x 1.24 shows 3.72).
    return QString::number(Shown(unit, raw), 'g', 15);
}

QString Suffix(ItemUnit unit)
{
    switch (unit) {
    case ItemUnit::Rpm: return QStringLiteral(" RPM");
    case ItemUnit::Mph: return QStringLiteral(" MPH");
    default: return QString();
    }
}

} // namespace Units

#include "editors/GeneralRules.h"

#include "editors/NumericInput.h"
#include "model/Units.h"

#include <array>

namespace GeneralRules {

namespace {

// The highest raw byte, shown in each unit, is the highest typed value.
const std::array<FieldRule, 3> Rules{{
    {TuneItem::RevLimiter, Units::RpmOf(1), Units::RpmOf(255), false},
    {TuneItem::SpeedLimiter, Units::MphPerStep, 255 * Units::MphPerStep, true},
    {TuneItem::VTCRelease, Units::RpmOf(1), Units::RpmOf(255), false},
}};

} // namespace

const FieldRule &RuleOf(Field field)
{
    return Rules[static_cast<std::size_t>(field)];
}

QString ShownText(Field field, int raw)
{
    return NumericInput::PlainNumberText(Units::Shown(Info(RuleOf(field).item).unit, raw));
}

int RawFromValue(Field field, double value)
{
    return Info(RuleOf(field).item).unit == ItemUnit::Mph ? Units::RawFromMph(value) : Units::RawFromRpm(value);
}

QString PaddedVersion(const QString &typed)
{
    QString text = typed.left(5);
    if (text.size() < 5)
        text.prepend(QString(5 - text.size(), QLatin1Char(' ')));
    return text;
}

QString ShownVersion(const QString &version)
{
    qsizetype first = 0;
    qsizetype last = version.size();
    while (first < last && version.at(first) == QLatin1Char(' '))
        ++first;
    while (last > first && version.at(last - 1) == QLatin1Char(' '))
        --last;
    return version.mid(first, last - first);
}

} // namespace GeneralRules

#include "analysis/FuelCorrection.h"

#include "platform/SettingsStore.h"

#include <cmath>

// The correction's settings in the preferences store.
namespace FuelCorrection {

namespace {

constexpr const char *Section = "FuelCorrection";

void readNumber(const SettingsStore &store, const char *name, double low, double high, double &value)
{
    QString text;
    if (store.ReadText(QLatin1String(Section), QLatin1String(name), text) != SettingsStore::Ok)
        return;
    if (const std::optional<double> v = NumberWithin(text, low, high))
        value = *v;
}

} // namespace

std::optional<double> NumberWithin(const QString &text, double low, double high)
{
    bool ok = false;
    const double v = text.trimmed().toDouble(&ok);
    if (!ok || !std::isfinite(v) || !(v >= low && v <= high))
        return std::nullopt;
    return v;
}

std::optional<double> DelayFromText(const QString &text)
{
    if (text.trimmed() == QLatin1String("auto"))
        return -1.0;
    return NumberWithin(text, 0, MaxDelayMs);
}

Settings LoadSettings(const SettingsStore &store)
{
    Settings s;
    const QString section = QLatin1String(Section);
    QString text;
    if (store.ReadText(section, QStringLiteral("AFRColumn"), text) == SettingsStore::Ok)
        s.afrColumn = text;
    if (store.ReadText(section, QStringLiteral("AFRFormula"), text) == SettingsStore::Ok)
        s.afrFormula = text;
    if (store.ReadText(section, QStringLiteral("MinSamples"), text) == SettingsStore::Ok) {
        bool ok = false;
        const int v = text.trimmed().toInt(&ok);
        if (ok && v >= 1 && v <= 1000000)
            s.minSamples = v;
    }
    readNumber(store, "TransientTP", 0, 255, s.transientTp);
    readNumber(store, "MaxChange", MaxChangeLow, MaxChangeHigh, s.maxChangePercent);
    readNumber(store, "ClosedThrottleTP", 0, 255, s.closedThrottleTp);
    readNumber(store, "FallingTP", 0, 255, s.fallingTp);
    readNumber(store, "MinCoolant", -50, 200, s.minCoolant);
    if (store.ReadText(section, QStringLiteral("Delay"), text) == SettingsStore::Ok)
        if (const std::optional<double> delay = DelayFromText(text))
            s.delayMs = *delay;
    double low = s.afrLow, high = s.afrHigh;
    readNumber(store, "AFRLow", TargetLow, TargetHigh, low);
    readNumber(store, "AFRHigh", TargetLow, TargetHigh, high);
    if (low < high) {
        s.afrLow = low;
        s.afrHigh = high;
    }
    if (store.ReadText(section, QStringLiteral("CoolantColumn"), text) == SettingsStore::Ok)
        s.coolantColumn = text;
    if (store.ReadText(section, QStringLiteral("Map"), text) == SettingsStore::Ok)
        if (const auto key = MapKeyFromText(text.trimmed()); key && IsFuelMap(*key))
            s.map = *key;
    for (int r = 0; r < 16; ++r) {
        if (store.ReadText(section, QStringLiteral("Target%1").arg(r), text) != SettingsStore::Ok)
            continue;
        const QStringList parts = text.split(QLatin1Char(','));
        for (int c = 0; c < 16 && c < parts.size(); ++c) {
            if (const std::optional<double> v = NumberWithin(parts[c], TargetLow, TargetHigh))
                s.targets.afr[static_cast<std::size_t>(r * 16 + c)] = *v;
        }
    }
    return s;
}

bool SaveSettings(SettingsStore &store, const Settings &s)
{
    const QString section = QLatin1String(Section);
    int failures = 0;
    failures += store.WriteText(section, QStringLiteral("AFRColumn"), s.afrColumn) != SettingsStore::Ok;
    failures += store.WriteText(section, QStringLiteral("AFRFormula"), s.afrFormula) != SettingsStore::Ok;
    failures += store.WriteText(section, QStringLiteral("MinSamples"), QString::number(s.minSamples)) != SettingsStore::Ok;
    failures += store.WriteText(section, QStringLiteral("TransientTP"), QString::number(s.transientTp)) != SettingsStore::Ok;
    const auto number = [&](const char *name, double v) {
        return store.WriteText(section, QLatin1String(name), QString::number(v)) != SettingsStore::Ok;
    };
    failures += number("MaxChange", s.maxChangePercent);
    failures += number("ClosedThrottleTP", s.closedThrottleTp);
    failures += number("FallingTP", s.fallingTp);
    failures += number("MinCoolant", s.minCoolant);
    failures += number("AFRLow", s.afrLow);
    failures += number("AFRHigh", s.afrHigh);
    failures += s.delayMs < 0 ? store.WriteText(section, QStringLiteral("Delay"), QStringLiteral("auto")) != SettingsStore::Ok
                              : number("Delay", s.delayMs);
    failures += store.WriteText(section, QStringLiteral("CoolantColumn"), s.coolantColumn) != SettingsStore::Ok;
    failures += store.WriteText(section, QStringLiteral("Map"), QLatin1String(CatalogueEntry(s.map).keyText))
                != SettingsStore::Ok;
    for (int r = 0; r < 16; ++r) {
        QStringList row;
        for (int c = 0; c < 16; ++c)
            row << QString::number(s.targets.at(r, c));
        failures += store.WriteText(section, QStringLiteral("Target%1").arg(r), row.join(QLatin1Char(',')))
                    != SettingsStore::Ok;
    }
    return failures == 0;
}

} // namespace FuelCorrection

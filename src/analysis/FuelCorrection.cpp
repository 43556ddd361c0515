#include "analysis/FuelCorrection.h"

#include "analysis/CellOverlay.h"
#include "analysis/DataLog.h"
#include "daq/CVScalingCalculator.h"
#include "platform/Rounding.h"
#include "model/Tune.h"
#include "platform/SettingsStore.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <unordered_map>

namespace FuelCorrection {

namespace {

constexpr const char *Section = "FuelCorrection";

double parseNumber(const QString &text, bool &ok)
{
    const double v = text.trimmed().toDouble(&ok);
    ok = ok && std::isfinite(v);
    return v;
}

} // namespace

QString RuleText()
{
    return QStringLiteral(
        "For each open-loop cell of the chosen fuel map with enough steady samples:\n"
        "new enrichment = (1 + e / 100) x measured AFR / target AFR x 100 - 100,\n"
        "where e is the cell's enrichment now and measured AFR the average of the cell's samples; "
        "rounded to the nearest whole number (halves to even) and kept within 0..127.\n"
        "Left out: closed-loop cells (the engine computer trims them itself), cells with fewer samples "
        "than the minimum, samples whose TP changed by more than the transient limit from the sample "
        "before or to the sample after, and samples without RPM, TP or a positive AFR.");
}

int CorrectedEnrichment(int e, double measured, double target, int low, int high)
{
    if (!(target > 0) || !std::isfinite(measured) || !std::isfinite(target))
        return std::clamp(e, low, high);
    const double exact = (1.0 + e / 100.0) * measured / target * 100.0 - 100.0;
    if (!std::isfinite(exact))
        return exact > 0 ? high : low;
    if (exact >= high)
        return high;
    if (exact <= low)
        return low;
    return static_cast<int>(std::clamp<long long>(vnt::RoundHalfEven(exact), low, high));
}

TargetTable TargetTable::Defaults()
{
    TargetTable t;
    for (int r = 0; r < 16; ++r)
        for (int c = 0; c < 16; ++c) {
            const double v = c < 8 ? 14.7 : 14.7 - (14.7 - 12.5) * (c - 7) / 8.0;
            t.afr[static_cast<std::size_t>(r * 16 + c)] = std::round(v * 10.0) / 10.0;
        }
    return t;
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
    bool ok = false;
    if (store.ReadText(section, QStringLiteral("MinSamples"), text) == SettingsStore::Ok) {
        const int v = text.trimmed().toInt(&ok);
        if (ok && v >= 1 && v <= 1000000)
            s.minSamples = v;
    }
    if (store.ReadText(section, QStringLiteral("TransientTP"), text) == SettingsStore::Ok) {
        const double v = parseNumber(text, ok);
        if (ok && v >= 0 && v <= 255)
            s.transientTp = v;
    }
    if (store.ReadText(section, QStringLiteral("Map"), text) == SettingsStore::Ok)
        if (const auto key = MapKeyFromText(text.trimmed()); key && IsFuelMap(*key))
            s.map = *key;
    for (int r = 0; r < 16; ++r) {
        if (store.ReadText(section, QStringLiteral("Target%1").arg(r), text) != SettingsStore::Ok)
            continue;
        const QStringList parts = text.split(QLatin1Char(','));
        for (int c = 0; c < 16 && c < parts.size(); ++c) {
            const double v = parseNumber(parts[c], ok);
            if (ok && v >= TargetLow && v <= TargetHigh)
                s.targets.afr[static_cast<std::size_t>(r * 16 + c)] = v;
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

std::vector<bool> SteadyMask(const std::vector<float> &tp, double limit)
{
    const std::size_t n = tp.size();
    std::vector<bool> steady(n, true);
    for (std::size_t i = 0; i < n; ++i) {
        if (std::isnan(tp[i])) {
            steady[i] = false;
            continue;
        }
        if (i > 0 && !std::isnan(tp[i - 1]) && std::fabs(static_cast<double>(tp[i]) - tp[i - 1]) > limit) {
            // A jump between two samples: neither was taken at a steady load.
            steady[i] = false;
            steady[i - 1] = false;
        }
    }
    return steady;
}

std::vector<float> MeasuredRatios(const DataLog &log, int afrColumn, const QString &formula)
{
    if (afrColumn < 0 || afrColumn >= log.columnCount())
        return std::vector<float>(log.rowCount(), std::numeric_limits<float>::quiet_NaN());
    const std::vector<float> &raw = log.columns[static_cast<std::size_t>(afrColumn)];
    if (formula.trimmed().isEmpty())
        return raw;
    // The evaluator works through text at every step; logged values repeat a
    // lot, so each distinct value is evaluated once.
    CVScalingCalculator calc;
    std::unordered_map<float, float> seen;
    std::vector<float> out(raw.size());
    for (std::size_t i = 0; i < raw.size(); ++i) {
        const float v = raw[i];
        if (std::isnan(v)) {
            out[i] = v;
            continue;
        }
        const auto it = seen.find(v);
        if (it != seen.end()) {
            out[i] = it->second;
            continue;
        }
        const FormulaResult r = calc.ComputeFormula(formula, v);
        const float value = r.ok() ? r.value : 0.0f;
        seen.emplace(v, value);
        out[i] = value;
    }
    return out;
}

Proposal Compute(const DataLog &log, const Tune &tune, const Settings &settings)
{
    Proposal p;
    p.map = settings.map;
    if (!IsFuelMap(settings.map)) {
        p.error = QStringLiteral("Choose one of the four fuel maps.");
        return p;
    }
    const int rpmColumn = log.columnIndex(QStringLiteral("RPM"));
    const int tpColumn = log.columnIndex(QStringLiteral("TP"));
    const int afrColumn = log.columnIndex(settings.afrColumn);
    if (rpmColumn < 0 || tpColumn < 0) {
        p.error = QStringLiteral("The log has no RPM or no TP column.");
        return p;
    }
    if (settings.afrColumn.trimmed().isEmpty()) {
        p.error = QStringLiteral("Choose the column that measures the air-fuel ratio.");
        return p;
    }
    if (afrColumn < 0) {
        p.error = QStringLiteral("The log has no column \"%1\" to measure the air-fuel ratio.").arg(settings.afrColumn);
        return p;
    }
    const auto &rpm = log.columns[static_cast<std::size_t>(rpmColumn)];
    const auto &tp = log.columns[static_cast<std::size_t>(tpColumn)];
    const std::vector<float> afr = MeasuredRatios(log, afrColumn, settings.afrFormula);
    const std::vector<bool> steady = SteadyMask(tp, settings.transientTp);

    std::array<double, 256> sums{};
    for (std::size_t i = 0; i < log.rowCount(); ++i) {
        const std::optional<CellOverlay::Cell> cell = CellOverlay::CellOf(tune, settings.map, rpm[i], tp[i]);
        if (!cell || !(afr[i] > 0) || !std::isfinite(afr[i]) || !(rpm[i] > 0)) {
            ++p.unusable;
            continue;
        }
        if (!steady[i]) {
            ++p.transients;
            continue;
        }
        ++p.used;
        const auto e = static_cast<std::size_t>(cell->entry());
        sums[e] += afr[i];
        ++p.cells[e].samples;
    }

    const CVMapInfo &map = tune.map(settings.map);
    for (std::size_t e = 0; e < 256; ++e) {
        CellProposal &c = p.cells[e];
        c.currentRaw = map.MapValue(static_cast<int>(e));
        c.proposedRaw = c.currentRaw;
        c.target = settings.targets.afr[e];
        if (c.samples > 0)
            c.measured = sums[e] / c.samples;
        if (c.samples == 0) {
            c.status = CellStatus::NoSamples;
        } else if (c.currentRaw >= 128) {
            c.status = CellStatus::ClosedLoop;
        } else if (c.samples < settings.minSamples) {
            c.status = CellStatus::TooFewSamples;
        } else {
            c.status = CellStatus::Proposed;
            const double exact = (1.0 + c.currentRaw / 100.0) * c.measured / c.target * 100.0 - 100.0;
            c.clamped = exact < OpenLoopLow - 0.5 || exact > OpenLoopHigh + 0.5;
            c.proposedRaw = CorrectedEnrichment(c.currentRaw, c.measured, c.target);
        }
    }
    return p;
}

} // namespace FuelCorrection

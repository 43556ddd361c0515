#include "analysis/FuelCorrection.h"

#include "analysis/CorrectionDelay.h"
#include "analysis/CorrectionSamples.h"

#include "analysis/CellOverlay.h"
#include "analysis/DataLog.h"
#include "daq/CVScalingCalculator.h"
#include "platform/Rounding.h"
#include "model/Tune.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <span>
#include <unordered_map>

namespace FuelCorrection {

QString RuleText()
{
    return QStringLiteral(
        "For each open-loop cell of the chosen fuel map with enough samples that pass the filters:\n"
        "new enrichment = (1 + e / 100) x measured AFR / target AFR x 100 - 100,\n"
        "where e is the cell's enrichment now and measured AFR the average of the cell's samples, each charged to "
        "where the engine was the delay before it and shared among the cells around that point by nearness; "
        "measured / target is held within the cap on the change per pass, the result rounded to the nearest "
        "whole number (halves to even) and kept within 0..127.\n"
        "Left out: closed-loop cells (the engine computer trims them itself), cells with fewer samples than the "
        "minimum, and samples without RPM, TP or AFR, taken in a transient (TP changed by more than its limit from "
        "the sample before or to the sample after), at closed throttle or decelerating, while warming up (when the "
        "log has the coolant column), with an AFR outside the plausible range or within a second after one, or "
        "already used by a correction applied to their cell.");
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

std::vector<bool> DeceleratingMask(const std::vector<float> &tp, double closedBelow, double fallingBy)
{
    std::vector<bool> out(tp.size(), false);
    for (std::size_t i = 0; i < tp.size(); ++i) {
        if (std::isnan(tp[i]))
            continue;
        const bool falling = i > 0 && !std::isnan(tp[i - 1]) && static_cast<double>(tp[i - 1]) - tp[i] > fallingBy;
        out[i] = tp[i] < closedBelow || falling;
    }
    return out;
}

double CappedRatio(double measured, double target, double capPercent, bool *capped)
{
    if (!(target > 0) || !std::isfinite(measured) || !std::isfinite(target))
        return 1.0;
    const double ratio = measured / target;
    const double cap = std::clamp(capPercent, MaxChangeLow, MaxChangeHigh) / 100.0;
    const double held = std::clamp(ratio, 1.0 - cap, 1.0 + cap);
    if (capped)
        *capped = held != ratio;
    return held;
}

void AppliedCells::mark(const QString &logKey, MapKey map, int entry, std::size_t rows, const QDateTime &at)
{
    Spent &spent = m_spent[{logKey, static_cast<int>(map), entry}];
    spent.rows = std::max(spent.rows, rows);
    spent.at = std::max(spent.at, at);
}

void AppliedCells::markApplied(const Applied &applied)
{
    const QDateTime now = QDateTime::currentDateTimeUtc();
    for (int entry : applied.entries)
        mark(applied.logKey, applied.map, entry, applied.rows, now);
    if (m_listener && !applied.entries.empty())
        m_listener(applied);
}

std::size_t AppliedCells::spentRows(const QString &logKey, MapKey map, int entry) const
{
    const auto it = m_spent.find({logKey, static_cast<int>(map), entry});
    return it == m_spent.end() ? 0 : it->second.rows;
}

std::pair<int, QDateTime> AppliedCells::corrected(const QString &logKey, MapKey map) const
{
    std::pair<int, QDateTime> found{0, QDateTime()};
    for (const auto &[key, spent] : m_spent) {
        if (std::get<0>(key) != logKey || std::get<1>(key) != static_cast<int>(map))
            continue;
        ++found.first;
        found.second = std::max(found.second, spent.at);
    }
    return found;
}

QString LogKey(const DataLog &log, const QString &path)
{
    return log.startText.isEmpty() ? QStringLiteral("file:") + path : QStringLiteral("date:") + log.startText;
}

namespace {

// Whether the throttle jump around row j (with the row before or after it)
// was a rise.
bool rising(const std::vector<float> &tp, std::size_t j)
{
    const double before = j > 0 ? double(tp[j]) - tp[j - 1] : 0.0;
    const double after = j + 1 < tp.size() ? double(tp[j + 1]) - tp[j] : 0.0;
    return (std::fabs(before) >= std::fabs(after) ? before : after) > 0;
}

} // namespace

Proposal Compute(const DataLog &log, const Tune &tune, const Settings &settings, const AppliedCells *applied,
                 const QString &logKey, std::size_t firstRow, std::size_t endRow)
{
    Proposal p;
    p.map = settings.map;
    p.logKey = logKey;
    endRow = std::min(endRow, log.rowCount());
    firstRow = std::min(firstRow, endRow);
    p.rows = endRow;
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
        p.error = QStringLiteral("Choose the column that measures the air-fuel ratio and its formula, then Compute.");
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
    const std::vector<bool> decelerating = DeceleratingMask(tp, settings.closedThrottleTp, settings.fallingTp);
    const int coolantColumn = settings.coolantColumn.trimmed().isEmpty() ? -1 : log.columnIndex(settings.coolantColumn);
    p.coolantFound = coolantColumn >= 0 && coolantColumn != afrColumn;
    const std::vector<float> *coolant = p.coolantFound ? &log.columns[static_cast<std::size_t>(coolantColumn)] : nullptr;

    std::array<std::size_t, 256> spentRows{};
    if (applied)
        for (int e = 0; e < 256; ++e)
            spentRows[static_cast<std::size_t>(e)] = applied->spentRows(logKey, settings.map, e);

    // Each ratio is charged to where the engine was the delay before it.
    double delay = settings.delayMs;
    if (delay < 0) {
        const std::optional<double> estimated =
            CorrectionDelay::EstimateMs(log, tune, settings.map, rpm, tp, afr, settings.afrLow, settings.afrHigh);
        p.delayEstimated = estimated.has_value();
        delay = estimated.value_or(0.0);
    }
    p.delayMs = delay;
    const std::vector<std::optional<std::size_t>> engineRow = CorrectionSamples::DelayedRows(log, delay);

    // After a reading at an end of its range (an overrun's fuel cut, the
    // heater phase) the sensor takes a while to come back: what it reads on
    // the way tells of the cut, not of the cell.
    std::vector<bool> settling(log.rowCount());
    double lastEnd = -std::numeric_limits<double>::infinity();
    for (std::size_t i = 0; i < log.rowCount(); ++i) {
        if (!(afr[i] > settings.afrLow && afr[i] < settings.afrHigh))
            lastEnd = log.time[i];
        else
            settling[i] = log.time[i] - lastEnd < SettlingSeconds;
    }

    std::array<double, 256> sums{};
    const CorrectionSamples::CellLocator locator(tune, settings.map);
    std::array<CorrectionSamples::CellWeight, 4> around{};
    for (std::size_t i = firstRow; i < endRow; ++i) {
        if (!engineRow[i]) {
            ++p.beforeDelay;
            continue;
        }
        const std::size_t j = *engineRow[i];
        const int n = std::isnan(afr[i]) || !(rpm[j] > 0) ? 0 : locator.Weights(rpm[j], tp[j], around);
        const std::span<const CorrectionSamples::CellWeight> cells(around.data(), static_cast<std::size_t>(n));
        if (cells.empty()) {
            ++p.unusable;
            continue;
        }
        std::size_t *reason = nullptr;
        if (!steady[j])
            reason = rising(tp, j) ? &p.risingTransients : &p.fallingTransients;
        else if (decelerating[j])
            reason = &p.decelerating;
        else if (coolant && !((*coolant)[i] >= settings.minCoolant))
            reason = &p.warmingUp;
        else if (!(afr[i] > settings.afrLow && afr[i] < settings.afrHigh))
            reason = &p.implausible;
        else if (settling[i])
            reason = &p.settling;
        if (reason) {
            // Told on the cell the sample weighs most on.
            ++p.cells[static_cast<std::size_t>(
                  std::max_element(cells.begin(), cells.end(), [](const auto &a, const auto &b) {
                      return a.weight < b.weight;
                  })->entry)]
                  .leftOut;
            ++*reason;
            continue;
        }
        bool counted = false;
        for (const CorrectionSamples::CellWeight &w : cells) {
            CellProposal &c = p.cells[static_cast<std::size_t>(w.entry)];
            if (i < spentRows[static_cast<std::size_t>(w.entry)]) {
                ++c.spent;
            } else {
                sums[static_cast<std::size_t>(w.entry)] += w.weight * afr[i];
                c.weight += w.weight;
                ++c.samples;
                counted = true;
            }
        }
        ++(counted ? p.used : p.spent);
    }

    const CVMapInfo &map = tune.map(settings.map);
    for (std::size_t e = 0; e < 256; ++e) {
        CellProposal &c = p.cells[e];
        c.currentRaw = map.MapValue(static_cast<int>(e));
        c.proposedRaw = c.currentRaw;
        c.target = settings.targets.afr[e];
        if (c.weight > 0)
            c.measured = sums[e] / c.weight;
        if (settings.locked[e]) {
            c.status = CellStatus::Locked;
        } else if (c.currentRaw >= 128 && (c.samples > 0 || c.leftOut > 0)) {
            c.status = CellStatus::ClosedLoop;
        } else if (c.weight < settings.minSamples && c.spent > 0) {
            c.status = CellStatus::Applied;
        } else if (c.samples == 0) {
            c.status = CellStatus::NoSamples;
        } else if (c.weight < settings.minSamples) {
            c.status = CellStatus::TooFewSamples;
        } else {
            c.status = CellStatus::Proposed;
            const double ratio = CappedRatio(c.measured, c.target, settings.maxChangePercent, &c.capped);
            const double exact = (1.0 + c.currentRaw / 100.0) * ratio * 100.0 - 100.0;
            c.clamped = exact < OpenLoopLow - 0.5 || exact > OpenLoopHigh + 0.5;
            c.proposedRaw = CorrectedEnrichment(c.currentRaw, ratio * c.target, c.target);
        }
    }
    return p;
}

QString Summary(const Proposal &p, const Settings &settings)
{
    int changes = 0;
    for (const auto &c : p.cells)
        changes += c.changes() ? 1 : 0;
    QString text = QStringLiteral("Delay %1 ms%2. %3 samples used. Left out: %4 while the throttle rose fast "
                                  "(acceleration enrichment), %5 while it fell fast (overrun), %6 at closed throttle "
                                  "or decelerating, %7 warming up%8, %9 with an AFR at or beyond the sensor's range "
                                  "%10..%11, %12 while the sensor came back from an end of its range, %13 already "
                                  "used by an applied correction, %14 without RPM, TP or AFR, %15 too early for the "
                                  "delay. %16 cells would change.")
                       .arg(std::lround(p.delayMs))
                       .arg(p.delayEstimated ? QStringLiteral(" (estimated from the log)")
                            : settings.delayMs < 0 ? QStringLiteral(" (the log says too little to estimate it)")
                                                   : QString())
                       .arg(p.used)
                       .arg(p.risingTransients)
                       .arg(p.fallingTransients)
                       .arg(p.decelerating)
                       .arg(p.warmingUp)
                       .arg(p.coolantFound ? QString() : QStringLiteral(" (no coolant column)"))
                       .arg(p.implausible)
                       .arg(settings.afrLow)
                       .arg(settings.afrHigh)
                       .arg(p.settling)
                       .arg(p.spent)
                       .arg(p.unusable)
                       .arg(p.beforeDelay)
                       .arg(changes);
    if (p.used == 0 && p.implausible > 0)
        text += QStringLiteral(" No sample has a plausible AFR: check the column and its formula.");
    return text;
}

} // namespace FuelCorrection

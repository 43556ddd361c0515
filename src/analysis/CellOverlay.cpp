#include "analysis/CellOverlay.h"

#include "analysis/DataLog.h"
#include "daq/AcquisitionLoop.h"
#include "daq/EngineTrace.h"
#include "daq/GeneralText.h"
#include "model/Tune.h"
#include "platform/SettingsStore.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace CellOverlay {

std::optional<Cell> CellOf(const Tune &tune, MapKey body, float rpm, float tp)
{
    if (!IsBodyMap(body) || !std::isfinite(rpm) || !std::isfinite(tp))
        return std::nullopt;
    // The tick logs RPM as an integer; a value beyond int (a damaged log)
    // lands in the last row like any large RPM would.
    const double clampedRpm = std::clamp(static_cast<double>(rpm), -1.0e9, 1.0e9);
    const int rpmInt = static_cast<int>(clampedRpm);
    const EngineTrace::CellIndex cell = EngineTrace::FindCell(tune, body, rpmInt, IntegerLoad(tp));
    return Cell{cell.rpmIndex, cell.tpIndex};
}

Result Compute(const DataLog &log, const Tune &tune, MapKey body, int rpmColumn, int tpColumn, int averageColumn,
               std::size_t firstRow, std::size_t endRow)
{
    Result r;
    r.map = body;
    r.averageColumn = averageColumn;
    r.averages.fill(std::numeric_limits<double>::quiet_NaN());
    const int columns = log.columnCount();
    if (rpmColumn < 0 || rpmColumn >= columns || tpColumn < 0 || tpColumn >= columns || !IsBodyMap(body))
        return r;
    if (averageColumn >= columns)
        averageColumn = r.averageColumn = -1;
    const auto &rpm = log.columns[static_cast<std::size_t>(rpmColumn)];
    const auto &tp = log.columns[static_cast<std::size_t>(tpColumn)];
    const std::vector<float> *avg = averageColumn >= 0 ? &log.columns[static_cast<std::size_t>(averageColumn)] : nullptr;
    std::array<double, 256> sums{};
    std::array<int, 256> valued{};
    endRow = std::min(endRow, log.rowCount());
    for (std::size_t i = firstRow; i < endRow; ++i) {
        const std::optional<Cell> cell = CellOf(tune, body, rpm[i], tp[i]);
        if (!cell) {
            ++r.skipped;
            continue;
        }
        const int e = cell->entry();
        ++r.counts[static_cast<std::size_t>(e)];
        ++r.samples;
        if (i + 1 < log.rowCount())
            r.seconds[static_cast<std::size_t>(e)] += std::min(log.time[i + 1] - log.time[i], MaxHoldSeconds);
        if (avg && !std::isnan((*avg)[i])) {
            sums[static_cast<std::size_t>(e)] += (*avg)[i];
            ++valued[static_cast<std::size_t>(e)];
        }
    }
    if (avg)
        for (std::size_t e = 0; e < 256; ++e)
            if (valued[e] > 0)
                r.averages[e] = sums[e] / valued[e];
    return r;
}

namespace {

QString countText(int count, bool compact)
{
    if (compact && count >= 10000)
        return QString::number(count / 1000) + QLatin1Char('k');
    return QString::number(count);
}

QString averageText(double avg, int decimals)
{
    return vnt::GeneralText(vnt::RoundToDecimals(static_cast<float>(avg), decimals));
}

constexpr const char *Section = "MapOverlay";
const char *const ShowNames[] = {"Counts", "Averages", "Both", "Time"};

} // namespace

QStringList NoteForms(const Result &overlay, int entry, Show show)
{
    if (entry < 0 || entry >= 256)
        return {};
    const int count = overlay.counts[static_cast<std::size_t>(entry)];
    if (count == 0)
        return {};
    const double avg = overlay.averages[static_cast<std::size_t>(entry)];
    const bool hasAvg = !std::isnan(avg);
    QStringList forms;
    const auto add = [&forms](const QString &t) {
        if (!t.isEmpty() && !forms.contains(t))
            forms << t;
    };
    switch (show) {
    case Show::Counts:
        add(countText(count, false));
        add(countText(count, true));
        break;
    case Show::Averages:
        if (hasAvg)
            for (int d : {2, 1, 0})
                add(averageText(avg, d));
        break;
    case Show::Both:
        if (hasAvg) {
            add(QStringLiteral("%1 | %2").arg(countText(count, false), averageText(avg, 2)));
            for (int d : {1, 0})
                add(QStringLiteral("%1|%2").arg(countText(count, true), averageText(avg, d)));
        }
        add(countText(count, false));
        add(countText(count, true));
        break;
    case Show::Time:
        for (int d : {2, 1, 0})
            add(QString::number(overlay.seconds[static_cast<std::size_t>(entry)], 'f', d) + QLatin1Char('s'));
        break;
    }
    return forms;
}

QString NoteTip(const Result &overlay, int entry, const QString &columnName)
{
    if (entry < 0 || entry >= 256 || overlay.counts[static_cast<std::size_t>(entry)] == 0)
        return {};
    const int count = overlay.counts[static_cast<std::size_t>(entry)];
    QString tip = QStringLiteral("%1 sample%2").arg(count).arg(count == 1 ? QString() : QStringLiteral("s"));
    const double avg = overlay.averages[static_cast<std::size_t>(entry)];
    if (!std::isnan(avg))
        tip += QStringLiteral(", average %1 %2").arg(columnName, QString::number(avg, 'g', 6));
    tip += QStringLiteral(", %1 s in the cell").arg(overlay.seconds[static_cast<std::size_t>(entry)], 0, 'f', 2);
    return tip;
}

Settings LoadSettings(const SettingsStore &store)
{
    Settings s;
    const QString section = QLatin1String(Section);
    QString text;
    if (store.ReadText(section, QStringLiteral("Map"), text) == SettingsStore::Ok)
        if (const auto key = MapKeyFromText(text.trimmed()); key && IsBodyMap(*key))
            s.map = *key;
    if (store.ReadText(section, QStringLiteral("Column"), text) == SettingsStore::Ok)
        s.column = text;
    if (store.ReadText(section, QStringLiteral("Show"), text) == SettingsStore::Ok)
        for (int i = 0; i < 4; ++i)
            if (text.trimmed() == QLatin1String(ShowNames[i]))
                s.show = static_cast<Show>(i);
    if (store.ReadText(section, QStringLiteral("InView"), text) == SettingsStore::Ok)
        s.inView = text.trimmed() == QLatin1String("1");
    return s;
}

bool SaveSettings(SettingsStore &store, const Settings &s)
{
    const QString section = QLatin1String(Section);
    int failures = 0;
    failures += store.WriteText(section, QStringLiteral("Map"), QLatin1String(CatalogueEntry(s.map).keyText))
                != SettingsStore::Ok;
    failures += store.WriteText(section, QStringLiteral("Column"), s.column) != SettingsStore::Ok;
    failures += store.WriteText(section, QStringLiteral("Show"), QLatin1String(ShowNames[static_cast<int>(s.show)]))
                != SettingsStore::Ok;
    failures += store.WriteText(section, QStringLiteral("InView"), QLatin1String(s.inView ? "1" : "0"))
                != SettingsStore::Ok;
    return failures == 0;
}

} // namespace CellOverlay

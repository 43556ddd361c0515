#include "analysis/CorrectionSamples.h"

#include "analysis/DataLog.h"
#include "model/Tune.h"
#include "model/Units.h"

#include <algorithm>
#include <cmath>

namespace CorrectionSamples {

namespace {

// The fractional position of v along a rising axis: index and the weight of
// the entry after it.
std::pair<int, double> along(const std::array<double, 16> &at, double v)
{
    if (v <= at[0])
        return {0, 0.0};
    if (v >= at[15])
        return {15, 0.0};
    const int i = int(std::upper_bound(at.begin(), at.end(), v) - at.begin()) - 1;
    return {i, (v - at[std::size_t(i)]) / (at[std::size_t(i + 1)] - at[std::size_t(i)])};
}

// An axis's values in its unit; false when they do not rise.
bool rises(const CVMapInfo &axis, double scale, std::array<double, 16> &at)
{
    for (int i = 0; i < 16; ++i) {
        at[std::size_t(i)] = axis.MapValue(i) * scale;
        if (i > 0 && at[std::size_t(i)] <= at[std::size_t(i - 1)])
            return false;
    }
    return true;
}

} // namespace

std::vector<std::optional<std::size_t>> DelayedRows(const DataLog &log, double delayMs)
{
    std::vector<std::optional<std::size_t>> rows(log.rowCount());
    const double delay = std::max(0.0, delayMs) / 1000.0;
    std::size_t j = 0;
    for (std::size_t i = 0; i < log.rowCount(); ++i) {
        const double then = log.time[i] - delay;
        if (then < log.time.front() - 1e-9)
            continue;
        while (j + 1 < log.rowCount() && log.time[j + 1] <= then + 1e-9)
            ++j;
        rows[i] = j;
    }
    return rows;
}

CellLocator::CellLocator(const Tune &tune, MapKey body) : m_tune(tune), m_body(body), m_valid(IsBodyMap(body))
{
    if (m_valid)
        m_rising = rises(tune.map(RpmAxisOf(body)), Units::RpmPerStep, m_rpm) && rises(tune.map(TpAxisOf(body)), 1.0, m_tp);
}

int CellLocator::Weights(double rpm, double tp, std::array<CellWeight, 4> &cells) const
{
    if (!m_valid || !std::isfinite(rpm) || !std::isfinite(tp))
        return 0;
    if (!m_rising) {
        const int row = m_tune.map(RpmAxisOf(m_body)).FindClosestMapIndex(int(std::lround(rpm / Units::RpmPerStep)));
        const int col = m_tune.map(TpAxisOf(m_body)).FindClosestMapIndex(int(std::lround(tp)));
        cells[0] = {row * 16 + col, 1.0};
        return 1;
    }
    const auto [r, rf] = along(m_rpm, rpm);
    const auto [t, tf] = along(m_tp, tp);
    int n = 0;
    for (int dr = 0; dr < 2; ++dr)
        for (int dc = 0; dc < 2; ++dc) {
            const double w = (dr ? rf : 1 - rf) * (dc ? tf : 1 - tf);
            if (w > 0)
                cells[std::size_t(n++)] = {(r + dr) * 16 + t + dc, w};
        }
    return n;
}

std::vector<CellWeight> CellWeights(const Tune &tune, MapKey body, double rpm, double tp)
{
    std::array<CellWeight, 4> cells{};
    const int n = CellLocator(tune, body).Weights(rpm, tp, cells);
    return {cells.begin(), cells.begin() + n};
}

} // namespace CorrectionSamples

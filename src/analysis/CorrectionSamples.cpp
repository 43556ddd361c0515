#include "analysis/CorrectionSamples.h"

#include "analysis/DataLog.h"
#include "model/Tune.h"
#include "model/Units.h"

#include <algorithm>
#include <cmath>

namespace CorrectionSamples {

namespace {

// The fractional position of v along a rising axis: index and the weight of
// the entry after it. Nothing when the axis does not rise.
std::optional<std::pair<int, double>> along(const CVMapInfo &axis, double scale, double v)
{
    std::array<double, 16> at{};
    for (int i = 0; i < 16; ++i) {
        at[std::size_t(i)] = axis.MapValue(i) * scale;
        if (i > 0 && at[std::size_t(i)] <= at[std::size_t(i - 1)])
            return std::nullopt;
    }
    if (v <= at[0])
        return std::pair(0, 0.0);
    if (v >= at[15])
        return std::pair(15, 0.0);
    const int i = int(std::upper_bound(at.begin(), at.end(), v) - at.begin()) - 1;
    return std::pair(i, (v - at[std::size_t(i)]) / (at[std::size_t(i + 1)] - at[std::size_t(i)]));
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    const std::size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
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

std::optional<double> EstimateDelayMs(const DataLog &log, const std::vector<float> &tp,
                                      const std::vector<float> &ratio, double stepTp)
{
    constexpr double MaxDelay = 3.0;   // s: beyond it, the next step may answer
    constexpr int Before = 5;          // samples of a steady level before the step
    std::vector<double> delays;
    const std::size_t n = std::min({log.rowCount(), tp.size(), ratio.size()});
    for (std::size_t i = Before; i < n; ++i) {
        if (!(std::fabs(double(tp[i]) - tp[i - 1]) >= stepTp))
            continue;
        // A steady throttle and a steady ratio before the step.
        double lo = ratio[i - 1], hi = ratio[i - 1];
        bool steady = true;
        for (std::size_t k = i - Before; k < i; ++k) {
            steady = steady && std::isfinite(ratio[k]) && std::fabs(double(tp[k]) - tp[i - 1]) < stepTp / 3;
            lo = std::min<double>(lo, ratio[k]);
            hi = std::max<double>(hi, ratio[k]);
        }
        if (!steady)
            continue;
        const double level = (lo + hi) / 2;
        const double threshold = std::max(0.15, 2 * (hi - lo));
        for (std::size_t k = i; k < n && log.time[k] - log.time[i - 1] <= MaxDelay; ++k) {
            const double off = std::fabs(ratio[k] - level);
            if (!std::isfinite(off) || off <= threshold)
                continue;
            // Where between sample k-1 and k the ratio crossed the threshold.
            const double before = std::fabs(ratio[k - 1] - level);
            const double f = std::isfinite(before) && off > before ? (threshold - before) / (off - before) : 1.0;
            const double crossed = log.time[k - 1] + std::clamp(f, 0.0, 1.0) * (log.time[k] - log.time[k - 1]);
            // The throttle moved somewhere between its two samples: its middle.
            delays.push_back(crossed - (log.time[i - 1] + log.time[i]) / 2);
            break;
        }
    }
    if (delays.size() < 3)
        return std::nullopt;
    return std::max(0.0, median(delays) * 1000.0);
}

std::vector<CellWeight> CellWeights(const Tune &tune, MapKey body, double rpm, double tp)
{
    if (!IsBodyMap(body) || !std::isfinite(rpm) || !std::isfinite(tp))
        return {};
    const auto r = along(tune.map(RpmAxisOf(body)), Units::RpmPerStep, rpm);
    const auto t = along(tune.map(TpAxisOf(body)), 1.0, tp);
    if (!r || !t) {
        const int row = tune.map(RpmAxisOf(body)).FindClosestMapIndex(int(std::lround(rpm / Units::RpmPerStep)));
        const int col = tune.map(TpAxisOf(body)).FindClosestMapIndex(int(std::lround(tp)));
        return {{row * 16 + col, 1.0}};
    }
    std::vector<CellWeight> cells;
    for (int dr = 0; dr < 2; ++dr)
        for (int dc = 0; dc < 2; ++dc) {
            const double w = (dr ? r->second : 1 - r->second) * (dc ? t->second : 1 - t->second);
            if (w > 0)
                cells.push_back({(r->first + dr) * 16 + t->first + dc, w});
        }
    return cells;
}

} // namespace CorrectionSamples

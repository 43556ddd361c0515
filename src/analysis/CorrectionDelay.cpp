#include "analysis/CorrectionDelay.h"

#include "analysis/CorrectionSamples.h"
#include "analysis/DataLog.h"
#include "model/Tune.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace CorrectionDelay {

namespace {

// Readings looked at: a longer log is thinned evenly, which keeps a cell's
// spread as it is and the search quick.
constexpr std::size_t MostRows = 40000;

struct Reading
{
    std::size_t row;
    double ratio;
};

class Spread
{
public:
    Spread(const DataLog &log, const CVMapInfo &map, const CorrectionSamples::CellLocator &cells,
           const std::vector<float> &rpm, const std::vector<float> &tp, const std::vector<Reading> &readings)
        : m_log(log), m_map(map), m_cells(cells), m_rpm(rpm), m_tp(tp), m_readings(readings)
    {
    }

    // The weighted spread of the ratio within the cells, each reading charged
    // to where the engine was delay seconds before it. Cells the engine
    // computer runs in closed loop are left out: its own hunting there has a
    // period of its own that would pass for a delay.
    double operator()(double delay) const
    {
        std::array<double, 256> weight{}, sum{}, squares{};
        std::array<CorrectionSamples::CellWeight, 4> around{};
        for (const Reading &r : m_readings) {
            const double then = m_log.time[r.row] - delay;
            if (then < m_log.time.front())
                continue;
            const auto [rpm, tp] = engineAt(then);
            const int n = m_cells.Weights(rpm, tp, around);
            bool closedLoop = false;
            for (int k = 0; k < n; ++k)
                closedLoop = closedLoop || m_map.MapValue(around[std::size_t(k)].entry) >= 128;
            if (closedLoop)
                continue;
            for (int k = 0; k < n; ++k) {
                const auto e = std::size_t(around[std::size_t(k)].entry);
                const double w = around[std::size_t(k)].weight;
                weight[e] += w;
                sum[e] += w * r.ratio;
                squares[e] += w * r.ratio * r.ratio;
            }
        }
        double spread = 0, total = 0;
        for (std::size_t e = 0; e < 256; ++e)
            if (weight[e] > 0) {
                spread += squares[e] - sum[e] * sum[e] / weight[e];
                total += weight[e];
            }
        return total > 0 ? spread / total : 0.0;
    }

private:
    // The engine's RPM and load at time t, between the rows around it.
    std::pair<double, double> engineAt(double t) const
    {
        const auto j = std::size_t(std::max<std::ptrdiff_t>(0, m_log.rowAtOrBefore(t)));
        if (j + 1 >= m_log.rowCount() || m_log.time[j + 1] <= m_log.time[j])
            return {m_rpm[j], m_tp[j]};
        const double f = (t - m_log.time[j]) / (m_log.time[j + 1] - m_log.time[j]);
        return {m_rpm[j] + f * (m_rpm[j + 1] - m_rpm[j]), m_tp[j] + f * (m_tp[j + 1] - m_tp[j])};
    }

    const DataLog &m_log;
    const CVMapInfo &m_map;
    const CorrectionSamples::CellLocator &m_cells;
    const std::vector<float> &m_rpm, &m_tp;
    const std::vector<Reading> &m_readings;
};

} // namespace

std::optional<double> EstimateMs(const DataLog &log, const Tune &tune, MapKey map,
                                        const std::vector<float> &rpm, const std::vector<float> &tp,
                                        const std::vector<float> &ratio, double low, double high)
{
    const std::size_t n = std::min({log.rowCount(), rpm.size(), tp.size(), ratio.size()});
    std::vector<Reading> readings;
    for (std::size_t i = 0; i < n; ++i)
        if (ratio[i] > low && ratio[i] < high && rpm[i] > 0 && std::isfinite(tp[i]))
            readings.push_back({i, ratio[i]});
    if (readings.size() < MinRows)
        return std::nullopt;
    if (readings.size() > MostRows) {
        std::vector<Reading> thinned;
        for (std::size_t k = 0; k < MostRows; ++k)
            thinned.push_back(readings[k * readings.size() / MostRows]);
        readings.swap(thinned);
    }
    const CorrectionSamples::CellLocator cells(tune, map);
    const Spread spread(log, tune.map(map), cells, rpm, tp, readings);

    // Coarse over every delay, then finer around the best.
    double best = 0, least = std::numeric_limits<double>::infinity(), most = 0;
    const auto tryDelay = [&](double ms) {
        const double s = spread(ms / 1000);
        most = std::max(most, s);
        if (s < least) {
            least = s;
            best = ms;
        }
    };
    for (double ms = 0; ms <= LongestMs; ms += 50)
        tryDelay(ms);
    // A spread that hardly changes with the delay tells nothing of it (nor
    // does one within a sensor's noise: a hundredth of a ratio).
    if (!(most > 1e-4) || least > 0.95 * most)
        return std::nullopt;
    const double coarse = best;
    for (double ms = std::max(0.0, coarse - 40); ms <= coarse + 40; ms += 10)
        tryDelay(ms);
    return best;
}

} // namespace CorrectionDelay

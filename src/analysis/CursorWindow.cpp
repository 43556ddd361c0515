#include "analysis/CursorWindow.h"

#include "analysis/DataLog.h"

#include <algorithm>
#include <limits>
#include <utility>

namespace CursorWindow {

Delta Between(const DataLog &log, std::size_t rowA, std::size_t rowB, const std::vector<int> &columns)
{
    Delta d;
    if (rowA >= log.rowCount() || rowB >= log.rowCount())
        return d;
    d.seconds = log.time[rowB] - log.time[rowA];
    for (const int c : columns) {
        if (c < 0 || c >= log.columnCount()) {
            d.differences.push_back(std::numeric_limits<double>::quiet_NaN());
            continue;
        }
        const std::vector<float> &v = log.columns[static_cast<std::size_t>(c)];
        d.differences.push_back(static_cast<double>(v[rowB]) - static_cast<double>(v[rowA]));
    }
    return d;
}

Rows RowsWithin(const DataLog &log, double t0, double t1)
{
    if (t1 < t0)
        std::swap(t0, t1);
    const auto begin = std::lower_bound(log.time.begin(), log.time.end(), t0);
    const auto end = std::upper_bound(begin, log.time.end(), t1);
    return {static_cast<std::size_t>(begin - log.time.begin()), static_cast<std::size_t>(end - log.time.begin())};
}

} // namespace CursorWindow

#include "analysis/CellOverlay.h"

#include "analysis/DataLog.h"
#include "daq/AcquisitionLoop.h"
#include "daq/EngineTrace.h"
#include "model/Tune.h"

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

} // namespace CellOverlay

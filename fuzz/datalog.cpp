// The datalog reader and what a log feeds: any bytes read as a log whose
// columns all have one value per sample and whose times never decrease; the
// plots' thinning, the map overlay and the fuel correction take whatever it
// read.

#include "FuzzCheck.h"

#include "analysis/CellOverlay.h"
#include "analysis/DataLog.h"
#include "analysis/Decimation.h"
#include "analysis/FuelCorrection.h"
#include "model/Tune.h"

#include <cmath>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    DataLogReport report;
    const DataLog log = ParseDataLog(FuzzBytes(data, size), &report);
    (void)report.summary();
    if (!report.ok) {
        FUZZ_CHECK(!report.error.isEmpty());
        FUZZ_CHECK(log.rowCount() == 0 && log.columnCount() == 0);
        return 0;
    }
    FUZZ_CHECK(report.lines == log.rowCount());
    FUZZ_CHECK(log.columnCount() <= DataLogLimits::MaxColumns);
    FUZZ_CHECK(log.columns.size() == static_cast<std::size_t>(log.columnCount()));
    for (const auto &column : log.columns) {
        FUZZ_CHECK(column.size() == log.rowCount());
        for (float v : column)
            FUZZ_CHECK(std::isnan(v) || std::isfinite(v));
    }
    for (std::size_t i = 0; i < log.rowCount(); ++i) {
        FUZZ_CHECK(std::isfinite(log.time[i]));
        FUZZ_CHECK(i == 0 || log.time[i] >= log.time[i - 1]);
    }
    if (log.rowCount() == 0)
        return 0;

    const double first = log.time.front();
    const double last = log.time.back();
    for (double t : {first - 1.0, first, (first + last) / 2, last, last + 1.0}) {
        const std::ptrdiff_t at = log.rowAtOrBefore(t);
        const std::ptrdiff_t near = log.nearestRow(t);
        FUZZ_CHECK(at >= 0 && static_cast<std::size_t>(at) < log.rowCount());
        FUZZ_CHECK(near >= 0 && static_cast<std::size_t>(near) < log.rowCount());
    }

    const Tune tune;
    std::vector<QPointF> points;
    for (int c = 0; c < log.columnCount(); ++c) {
        Decimation::MinMax(log.time, log.columns[static_cast<std::size_t>(c)], first, last, 64, points);
        double low = 0;
        double high = 0;
        Decimation::RangeOf(log.time, log.columns[static_cast<std::size_t>(c)], first, last, low, high);
    }
    if (log.columnCount() >= 2) {
        const CellOverlay::Result overlay =
            CellOverlay::Compute(log, tune, MapKey::HOFM, 0, 1, log.columnCount() - 1);
        FUZZ_CHECK(overlay.samples + overlay.skipped == log.rowCount());
        FuelCorrection::Settings settings;
        settings.afrColumn = log.names.back();
        settings.afrFormula = QStringLiteral("V*14.7");
        settings.minSamples = 1;
        (void)FuelCorrection::Compute(log, tune, settings);
    }
    return 0;
}

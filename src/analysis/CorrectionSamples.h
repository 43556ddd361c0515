#pragma once

#include "model/MapCatalogue.h"

#include <array>
#include <cstddef>
#include <optional>
#include <vector>

struct DataLog;
class Tune;

// Where each sample of a log belongs before the fuel correction weighs it.
//
// The oxygen reading of a sample tells of the fuel burned most of a second
// before (the exhaust's way to the sensor, then the sensor's own response):
// it is charged to where the engine was `delay` earlier. And a sample taken
// between cells tells of all the cells the engine computer blends there: it
// counts for the four cells around it, each by its nearness on both axes.
namespace CorrectionSamples {

// For each row, the row the engine was in delayMs earlier (the row at or
// before that time); nothing for the rows too early to have one.
std::vector<std::optional<std::size_t>> DelayedRows(const DataLog &log, double delayMs);

// The delay between the throttle and the oxygen reading, estimated from the
// log: at every quick throttle step (by stepTp or more between two samples,
// from a steady throttle), the time until the ratio first leaves its level
// before the step by more than the reading's noise; the median over the
// steps, or nothing when the log has fewer than three usable steps. The
// crossing is taken between the two samples around it, so the estimate is
// finer than the log's period.
std::optional<double> EstimateDelayMs(const DataLog &log, const std::vector<float> &tp,
                                      const std::vector<float> &ratio, double stepTp = 15.0);

struct CellWeight
{
    int entry = 0;
    double weight = 0;
};
// The cells of the body map around a point (RPM, TP) and their weights
// (bilinear on the map's own axes, summing to 1): four cells between axis
// entries, fewer at the edges or on an entry; the nearest cell alone when an
// axis does not rise. Nothing for a missing value.
std::vector<CellWeight> CellWeights(const Tune &tune, MapKey body, double rpm, double tp);

} // namespace CorrectionSamples

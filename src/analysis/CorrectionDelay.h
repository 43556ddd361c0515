#pragma once

#include "model/MapCatalogue.h"

#include <cstddef>
#include <optional>
#include <vector>

struct DataLog;
class Tune;

// How long after the fuel was burned its ratio shows in the log, estimated
// from the log itself: the exhaust's way to the sensor and the sensor's own
// response together, which is what a reading must be charged back by.
//
// Charged to the wrong moment, a reading lands in the cell the engine passed
// through before or after, so the readings of each cell scatter; charged to
// the right one, each cell's readings agree. The estimate is the delay with
// the least spread of the ratio within the open-loop cells of the map, to
// 10 ms.
namespace CorrectionDelay {

inline constexpr double LongestMs = 3000.0;

// Nothing when the log says too little: fewer than MinRows readings inside
// the sensor's range (low, high), or a spread that hardly depends on the
// delay (an engine held in one cell).
inline constexpr std::size_t MinRows = 100;
std::optional<double> EstimateMs(const DataLog &log, const Tune &tune, MapKey map, const std::vector<float> &rpm,
                                 const std::vector<float> &tp, const std::vector<float> &ratio, double low,
                                 double high);

} // namespace CorrectionDelay

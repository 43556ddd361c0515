#pragma once

#include <QPointF>
#include <cstddef>
#include <vector>

// Thinning a long series for drawing without losing what the eye must see.
//
// The visible time range is split into `buckets` equal slices (one or two
// per screen pixel); from each slice the first, the smallest, the largest
// and the last value are kept, in time order. Every peak and dip of the full
// series therefore stays on screen, and the lines between slices join as
// they would at full resolution. Gaps (NaN) are skipped. One sample either
// side of the range is kept too, so the line runs to the plot's edges.
namespace Decimation {

// time must not decrease. Appends to out (cleared first).
void MinMax(const std::vector<double> &time, const std::vector<float> &values, double t0, double t1, int buckets,
            std::vector<QPointF> &out);

// The smallest and largest value in [t0, t1] (NaN both when none).
void RangeOf(const std::vector<double> &time, const std::vector<float> &values, double t0, double t1, double &low,
             double &high);

} // namespace Decimation

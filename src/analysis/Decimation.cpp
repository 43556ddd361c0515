#include "analysis/Decimation.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace Decimation {

namespace {

std::size_t firstAtOrAfter(const std::vector<double> &time, double t)
{
    return static_cast<std::size_t>(std::lower_bound(time.begin(), time.end(), t) - time.begin());
}

std::size_t firstAfter(const std::vector<double> &time, double t)
{
    return static_cast<std::size_t>(std::upper_bound(time.begin(), time.end(), t) - time.begin());
}

} // namespace

void MinMax(const std::vector<double> &time, const std::vector<float> &values, double t0, double t1, int buckets,
            std::vector<QPointF> &out)
{
    out.clear();
    const std::size_t n = std::min(time.size(), values.size());
    if (n == 0 || !(t1 >= t0))
        return;
    buckets = std::max(buckets, 1);

    std::size_t begin = firstAtOrAfter(time, t0);
    std::size_t end = firstAfter(time, t1);
    begin = std::min(begin, n);
    end = std::min(end, n);
    // The neighbours just outside carry the line to the edges.
    if (begin > 0)
        --begin;
    if (end < n)
        ++end;
    if (begin >= end)
        return;

    const std::size_t count = end - begin;
    if (count <= static_cast<std::size_t>(buckets) * 4) {
        out.reserve(count);
        for (std::size_t i = begin; i < end; ++i)
            if (!std::isnan(values[i]))
                out.emplace_back(time[i], values[i]);
        return;
    }

    out.reserve(static_cast<std::size_t>(buckets) * 4 + 2);
    const double span = t1 - t0;
    const double width = span > 0 ? span / buckets : 1.0;
    // The slice of a sample: -1 before the range, `buckets` after it.
    auto sliceOf = [&](std::size_t k) -> long long {
        const double t = time[k];
        if (t < t0)
            return -1;
        if (t > t1)
            return buckets;
        const long long s = static_cast<long long>(std::floor((t - t0) / width));
        return std::clamp<long long>(s, 0, buckets - 1);
    };
    std::size_t i = begin;
    while (i < end) {
        const long long slice = sliceOf(i);
        std::size_t first = end, last = end, lo = end, hi = end;
        std::size_t j = i;
        for (; j < end && sliceOf(j) == slice; ++j) {
            const float v = values[j];
            if (std::isnan(v))
                continue;
            if (first == end)
                first = lo = hi = j;
            last = j;
            if (v < values[lo])
                lo = j;
            if (v > values[hi])
                hi = j;
        }
        if (first != end) {
            std::size_t picks[4] = {first, lo, hi, last};
            std::sort(picks, picks + 4);
            std::size_t previous = end;
            for (std::size_t k : picks) {
                if (k != previous)
                    out.emplace_back(time[k], values[k]);
                previous = k;
            }
        }
        i = j;
    }
}

void RangeOf(const std::vector<double> &time, const std::vector<float> &values, double t0, double t1, double &low,
             double &high)
{
    low = high = std::numeric_limits<double>::quiet_NaN();
    const std::size_t n = std::min(time.size(), values.size());
    const std::size_t begin = std::min(firstAtOrAfter(time, t0), n);
    const std::size_t end = std::min(firstAfter(time, t1), n);
    bool any = false;
    float lo = 0, hi = 0;
    for (std::size_t i = begin; i < end; ++i) {
        const float v = values[i];
        if (std::isnan(v))
            continue;
        if (!any) {
            lo = hi = v;
            any = true;
        } else {
            lo = std::min(lo, v);
            hi = std::max(hi, v);
        }
    }
    if (any) {
        low = lo;
        high = hi;
    }
}

} // namespace Decimation

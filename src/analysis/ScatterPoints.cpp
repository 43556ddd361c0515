#include "analysis/ScatterPoints.h"

#include "analysis/DataLog.h"
#include "platform/NiceSteps.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace ScatterPoints {

Scale RoundScale(double lo, double hi, int ticks)
{
    if (!std::isfinite(lo) || !std::isfinite(hi))
        return {};
    if (hi < lo)
        std::swap(lo, hi);
    double step = NiceSteps::Step(hi - lo, ticks);
    if (hi == lo) {
        step = NiceSteps::Step(std::max(1.0, std::fabs(lo) * 0.1), 1);
        return {std::floor(lo / step) * step - step, std::floor(lo / step) * step + step, step};
    }
    return {std::floor(lo / step) * step, std::ceil(hi / step) * step, step};
}

Image Bin(const DataLog &log, int xColumn, int yColumn, int colourColumn, std::size_t first, std::size_t end,
          int width, int height)
{
    Image img;
    img.width = std::max(1, width);
    img.height = std::max(1, height);
    img.colour.assign(static_cast<std::size_t>(img.width) * static_cast<std::size_t>(img.height),
                      std::numeric_limits<float>::quiet_NaN());
    const int columns = log.columnCount();
    if (xColumn < 0 || xColumn >= columns || yColumn < 0 || yColumn >= columns || colourColumn >= columns)
        return img;
    end = std::min(end, log.rowCount());
    first = std::min(first, end);
    const std::vector<float> &xs = log.columns[static_cast<std::size_t>(xColumn)];
    const std::vector<float> &ys = log.columns[static_cast<std::size_t>(yColumn)];
    const std::vector<float> *cs = colourColumn >= 0 ? &log.columns[static_cast<std::size_t>(colourColumn)] : nullptr;
    const auto colourOf = [&](std::size_t i) { return cs ? static_cast<double>((*cs)[i]) : log.time[i]; };

    constexpr double Inf = std::numeric_limits<double>::infinity();
    double xLo = Inf, xHi = -Inf, yLo = Inf, yHi = -Inf, cLo = Inf, cHi = -Inf;
    for (std::size_t i = first; i < end; ++i) {
        if (!std::isfinite(xs[i]) || !std::isfinite(ys[i])) {
            ++img.skipped;
            continue;
        }
        xLo = std::min<double>(xLo, xs[i]);
        xHi = std::max<double>(xHi, xs[i]);
        yLo = std::min<double>(yLo, ys[i]);
        yHi = std::max<double>(yHi, ys[i]);
        if (const double c = colourOf(i); std::isfinite(c)) {
            cLo = std::min(cLo, c);
            cHi = std::max(cHi, c);
        }
    }
    if (xLo > xHi)
        return img;
    img.x = RoundScale(xLo, xHi, 8);
    img.y = RoundScale(yLo, yHi, 6);
    if (cLo <= cHi) {
        img.colourLow = cLo;
        img.colourHigh = cHi;
    }
    const double cWidth = img.colourHigh > img.colourLow ? img.colourHigh - img.colourLow : 1.0;
    const double sx = (img.width - 1) / (img.x.high - img.x.low);
    const double sy = (img.height - 1) / (img.y.high - img.y.low);
    for (std::size_t i = first; i < end; ++i) {
        if (!std::isfinite(xs[i]) || !std::isfinite(ys[i]))
            continue;
        const auto px = static_cast<std::size_t>(std::lround((xs[i] - img.x.low) * sx));
        const auto py = static_cast<std::size_t>(std::lround((img.y.high - ys[i]) * sy));
        const double c = colourOf(i);
        img.colour[py * static_cast<std::size_t>(img.width) + px] =
            std::isfinite(c) ? static_cast<float>((c - img.colourLow) / cWidth) : -1.0f;
        ++img.points;
    }
    return img;
}

} // namespace ScatterPoints

#include "gauges/GaugeScale.h"

#include "platform/NiceSteps.h"

#include <algorithm>
#include <cmath>

namespace GaugeScale {

namespace {

constexpr int TargetSteps = 6;

double finiteOrZero(double v)
{
    return std::isfinite(v) ? v : 0.0;
}

double niceStep(double span)
{
    return NiceSteps::Step(span, TargetSteps);
}

} // namespace

double Fraction(double value, Range range)
{
    const double span = range.max - range.min;
    if (!std::isfinite(value) || !(span > 0.0) || !std::isfinite(span))
        return 0.0;
    return std::clamp((value - range.min) / span, 0.0, 1.0);
}

double DialAngle(double value, Range range)
{
    return StartAngle - SweepAngle * Fraction(value, range);
}

int BarLength(double value, Range range, int fullLength)
{
    if (fullLength <= 0)
        return 0;
    return static_cast<int>(std::lround(Fraction(value, range) * fullLength));
}

Range NiceRange(double lo, double hi)
{
    lo = finiteOrZero(lo);
    hi = finiteOrZero(hi);
    if (hi < lo)
        std::swap(lo, hi);
    double step = niceStep(hi - lo);
    Range r{std::floor(lo / step) * step, std::ceil(hi / step) * step};
    // Rounding outwards can add a step or two; widen the step once if the
    // scale ended up crowded.
    if ((r.max - r.min) / step > TargetSteps + 1) {
        step = niceStep(r.max - r.min);
        r = {std::floor(lo / step) * step, std::ceil(hi / step) * step};
    }
    if (r.max <= r.min)
        r.max = r.min + step;
    return r;
}

QVector<double> Ticks(Range range)
{
    QVector<double> ticks;
    const double span = range.max - range.min;
    if (!(span > 0.0) || !std::isfinite(span))
        return ticks;
    const double step = niceStep(span);
    const double first = std::ceil(range.min / step - 1e-9) * step;
    for (int i = 0; i <= 4 * TargetSteps; ++i) {
        const double v = first + i * step;
        if (v > range.max + step * 1e-9)
            break;
        ticks.append(std::abs(v) < step * 1e-9 ? 0.0 : v);
    }
    return ticks;
}

double LabelFactor(Range range)
{
    return range.max - range.min >= 2000.0 ? 1000.0 : 1.0;
}

QString TickText(double value, Range range)
{
    return QString::number(value / LabelFactor(range), 'g', 4);
}

QString FactorText(Range range)
{
    return LabelFactor(range) > 1.0 ? QStringLiteral("x1000") : QString();
}

int LabelStride(const QVector<QRectF> &rects, double gap)
{
    const auto n = static_cast<int>(rects.size());
    for (int stride = 1; stride < n; ++stride) {
        bool clear = true;
        for (int i = 0; clear && i + stride < n; i += stride)
            clear = !rects[i].adjusted(-gap, -gap, gap, gap).intersects(rects[i + stride]);
        if (clear)
            return stride;
    }
    return std::max(1, n);
}

} // namespace GaugeScale

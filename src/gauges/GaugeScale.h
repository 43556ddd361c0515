#pragma once

#include <QRectF>
#include <QString>
#include <QVector>

// The geometry of a gauge apart from any widget: where a value puts a dial's
// needle or a bar's end, the scale's range and its tick marks.
namespace GaugeScale {

struct Range
{
    double min = 0.0;
    double max = 1.0;
    bool operator==(const Range &) const = default;
};

// The dial's arc: the needle stands at StartAngle (degrees, counter-clockwise
// from three o'clock, so 225 is lower left) at the range's minimum and turns
// clockwise through SweepAngle to the maximum (-45, lower right).
inline constexpr double StartAngle = 225.0;
inline constexpr double SweepAngle = 270.0;

// Where value lies in the range, 0..1: clamped at both ends; a value that is
// not a number, or an empty range, gives 0.
double Fraction(double value, Range range);
// The needle's angle for value, in degrees as above.
double DialAngle(double value, Range range);
// The filled length of a bar of fullLength pixels, rounded to whole pixels.
int BarLength(double value, Range range, int fullLength);

// A range from lo to hi widened to whole multiples of a "nice" step (1, 2
// or 5 times a power of ten) with at most about six steps; an empty or
// reversed span becomes one step wide. Non-finite ends are taken as 0.
Range NiceRange(double lo, double hi);
// Tick values from min to max at the nice step of the range.
QVector<double> Ticks(Range range);

// Scales whose span reaches 2000 are labelled in thousands, as a
// tachometer is ("2" for 2000), and say so with FactorText ("x1000"); the
// factor holds for every label of the scale, so the labels never mix units.
double LabelFactor(Range range);
QString TickText(double value, Range range);
// "x1000" when the labels are in thousands, else empty.
QString FactorText(Range range);

// Which tick labels to draw so that none touch: every stride-th label
// starting with the first, the smallest stride for which the labels drawn
// are at least gap apart. rects are the labels' boxes in tick order.
int LabelStride(const QVector<QRectF> &rects, double gap = 2.0);

} // namespace GaugeScale

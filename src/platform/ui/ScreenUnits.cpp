#include "platform/ui/ScreenUnits.h"

#include "platform/Rounding.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

#include <cmath>
#include <limits>

namespace ScreenUnits {

namespace {

double usableDpi(double dpi)
{
    return (dpi > 0.0 && std::isfinite(dpi)) ? dpi : 96.0;
}

const QScreen *screenOf(const QWidget *widget)
{
    if (widget) {
        if (const QScreen *s = widget->screen())
            return s;
    }
    return QGuiApplication::primaryScreen();
}

} // namespace

int TwipsToPixels(double twips, double dpi)
{
    const double px = twips * usableDpi(dpi) / TwipsPerInch;
    if (!std::isfinite(px))
        return 0;
    constexpr int limit = std::numeric_limits<int>::max() / 2;
    if (px > limit)
        return limit;
    if (px < -limit)
        return -limit;
    return static_cast<int>(vnt::RoundHalfEven(px));
}

double PixelsToTwips(double pixels, double dpi)
{
    return pixels * TwipsPerInch / usableDpi(dpi);
}

double LogicalDpiX(const QWidget *widget)
{
    const QScreen *s = screenOf(widget);
    return usableDpi(s ? s->logicalDotsPerInchX() : 0.0);
}

double LogicalDpiY(const QWidget *widget)
{
    const QScreen *s = screenOf(widget);
    return usableDpi(s ? s->logicalDotsPerInchY() : 0.0);
}

int TwipsToPixelsX(double twips, const QWidget *widget) { return TwipsToPixels(twips, LogicalDpiX(widget)); }
int TwipsToPixelsY(double twips, const QWidget *widget) { return TwipsToPixels(twips, LogicalDpiY(widget)); }
double PixelsToTwipsX(double pixels, const QWidget *widget) { return PixelsToTwips(pixels, LogicalDpiX(widget)); }
double PixelsToTwipsY(double pixels, const QWidget *widget) { return PixelsToTwips(pixels, LogicalDpiY(widget)); }

} // namespace ScreenUnits

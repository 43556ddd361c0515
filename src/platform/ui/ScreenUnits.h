#pragma once

class QWidget;

// Screen lengths of the program (window placement, splitter, grid widths) are
// kept in twips, 1/1440 inch. This is the one place where they meet pixels:
// the conversion uses the logical DPI of the screen, so a layout keeps its
// physical proportions on a scaled desktop.
namespace ScreenUnits {

inline constexpr double TwipsPerInch = 1440.0;

// Pure conversions for a given DPI (a DPI of 0 or below counts as 96).
int TwipsToPixels(double twips, double dpi);
double PixelsToTwips(double pixels, double dpi);

// The logical DPI of the screen a widget is on (the primary screen when the
// widget is null or not yet on a screen); 96 when there is no screen at all.
double LogicalDpiX(const QWidget *widget = nullptr);
double LogicalDpiY(const QWidget *widget = nullptr);

int TwipsToPixelsX(double twips, const QWidget *widget = nullptr);
int TwipsToPixelsY(double twips, const QWidget *widget = nullptr);
double PixelsToTwipsX(double pixels, const QWidget *widget = nullptr);
double PixelsToTwipsY(double pixels, const QWidget *widget = nullptr);

} // namespace ScreenUnits

#pragma once

#include "platform/WindowLayout.h"

#include <QRect>
#include <QSize>

class QWidget;

// Every window opens on the screen it belongs to, frame and all, whatever the
// screen's size and scaling: a laptop at 1280 x 800, or a desktop scaled by 2
// where a window sized in pixels would be twice as large.
namespace ScreenFit {

// The available area (without panels and docks) of the screen the window is
// on, or of the primary screen; empty when there is no screen.
QRect AvailableArea(const QWidget *window);

// What the window manager's frame adds: measured once the window is shown,
// estimated from the style before.
WindowLayout::Frame FrameOf(const QWidget *window);

// Sizes a top-level window to its preferred size, or less where the screen
// is smaller (frame included).
void SizeFor(QWidget *window, QSize preferred);

// From now on every window and dialog of the program is fitted each time it
// is shown (when its real frame is known): moved onto its screen and shrunk
// as far as its minimum size lets it. Installed once, by the application.
void KeepWindowsOnScreen();

// Applies the rule to one window, now.
void FitNow(QWidget *window);

} // namespace ScreenFit

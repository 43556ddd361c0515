#pragma once

#include <QColor>
#include <QIcon>
#include <QImage>

// The program's icons are drawn in black lines on a light window. On a dark
// palette those lines would vanish into the background: there they are drawn
// light instead, keeping every coloured part as it is.
namespace PaletteIcons {

// Whether a window colour counts as dark (text on it is light).
bool IsDark(const QColor &window);

// The image for a window of the given darkness: on a dark window every dark,
// colourless pixel takes the matching light grey; anything else is kept.
QImage ForWindow(const QImage &image, bool darkWindow);

// An icon of the program's resources by key ("Open", "Conn", "Fuel", ...),
// drawn for the application's palette.
QIcon AppIcon(const char *key);

} // namespace PaletteIcons

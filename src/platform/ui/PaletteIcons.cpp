#include "platform/ui/PaletteIcons.h"

#include <QApplication>
#include <QPalette>
#include <QPixmap>

namespace PaletteIcons {

bool IsDark(const QColor &window)
{
    return window.lightness() < 128;
}

QImage ForWindow(const QImage &image, bool darkWindow)
{
    if (!darkWindow)
        return image;
    QImage out = image.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < out.height(); ++y) {
        auto *line = reinterpret_cast<QRgb *>(out.scanLine(y));
        for (int x = 0; x < out.width(); ++x) {
            const QColor c = QColor::fromRgba(line[x]);
            // Greys only (lines and outlines); a blue diamond stays blue.
            if (c.alpha() == 0 || c.hslSaturation() > 40 || c.lightness() >= 128)
                continue;
            const int light = 255 - c.lightness();
            line[x] = qRgba(light, light, light, c.alpha());
        }
    }
    return out;
}

QIcon AppIcon(const char *key)
{
    const QImage drawn(QStringLiteral(":/icons/%1.xpm").arg(QLatin1String(key)));
    return QIcon(QPixmap::fromImage(ForWindow(drawn, IsDark(QApplication::palette().color(QPalette::Window)))));
}

} // namespace PaletteIcons

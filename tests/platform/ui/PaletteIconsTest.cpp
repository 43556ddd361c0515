// Icons on a dark palette: their black lines turn light, their colours stay.

#include "platform/ui/PaletteIcons.h"

#include <gtest/gtest.h>

TEST(PaletteIcons, DarkLinesTurnLightOnADarkWindowAndColoursStay)
{
    const std::tuple<QRgb, bool, QRgb> cases[] = {
        {qRgb(0, 0, 0), true, qRgb(255, 255, 255)},     {qRgb(64, 64, 64), true, qRgb(191, 191, 191)},
        {qRgb(0, 0, 255), true, qRgb(0, 0, 255)},       {qRgb(230, 230, 230), true, qRgb(230, 230, 230)},
        {qRgba(0, 0, 0, 0), true, qRgba(0, 0, 0, 0)},   {qRgb(0, 0, 0), false, qRgb(0, 0, 0)},
    };
    for (const auto &[pixel, dark, shown] : cases) {
        QImage image(1, 1, QImage::Format_ARGB32);
        image.setPixel(0, 0, pixel);
        EXPECT_EQ(PaletteIcons::ForWindow(image, dark).pixel(0, 0), shown) << std::hex << pixel;
    }
    EXPECT_TRUE(PaletteIcons::IsDark(QColor(53, 53, 53)) && !PaletteIcons::IsDark(QColor(239, 239, 239)));
}

// Twips and pixels.

#include "platform/ui/ScreenUnits.h"

#include <QGuiApplication>
#include <QScreen>
#include <gtest/gtest.h>

#include <limits>

TEST(ScreenUnits, ConversionsAtAGivenDpi)
{
    EXPECT_EQ(ScreenUnits::TwipsToPixels(1440, 96), 96);
    EXPECT_EQ(ScreenUnits::TwipsToPixels(15, 96), 1);
    EXPECT_EQ(ScreenUnits::TwipsToPixels(350, 96), 23);   // 23.33
    EXPECT_EQ(ScreenUnits::TwipsToPixels(1440, 120), 120);
    EXPECT_EQ(ScreenUnits::TwipsToPixels(-300, 96), -20);
    EXPECT_EQ(ScreenUnits::TwipsToPixels(1440, 0), 96);   // no usable DPI: 96
    EXPECT_EQ(ScreenUnits::TwipsToPixels(1e300, 96), std::numeric_limits<int>::max() / 2);
    EXPECT_DOUBLE_EQ(ScreenUnits::PixelsToTwips(96, 96), 1440);
    EXPECT_DOUBLE_EQ(ScreenUnits::PixelsToTwips(1, 120), 12);
}

TEST(ScreenUnits, UsesTheScreensLogicalDpi)
{
    const QScreen *screen = QGuiApplication::primaryScreen();
    ASSERT_NE(screen, nullptr);
    EXPECT_DOUBLE_EQ(ScreenUnits::LogicalDpiX(), screen->logicalDotsPerInchX());
    EXPECT_EQ(ScreenUnits::TwipsToPixelsX(2880), ScreenUnits::TwipsToPixels(2880, screen->logicalDotsPerInchX()));
    EXPECT_DOUBLE_EQ(ScreenUnits::PixelsToTwipsY(10), ScreenUnits::PixelsToTwips(10, screen->logicalDotsPerInchY()));
}

#include "platform/WindowLayout.h"

#include <gtest/gtest.h>

using namespace WindowLayout;

TEST(WindowLayoutTest, SplitterAndWidthAreClamped)
{
    const std::pair<int, int> splitter[] = {{100, 500}, {6300, 6000}, {2500, 2500}, {500, 500}, {6000, 6000}};
    for (auto [x, clamped] : splitter)
        EXPECT_EQ(ClampSplitter(x, 6500), clamped) << x;
    EXPECT_EQ(ClampWindowWidth(2000), 3000);
    EXPECT_EQ(ClampWindowWidth(9000), 9000);
}

TEST(WindowLayoutTest, TheStoredWindowIsHeldToTheScreen)
{
    // A 1280 x 1000 work area whose left edge is at 100 (a panel to its left);
    // the window is at least 200 x 150.
    const Rect area{100, 0, 1280, 1000};
    const struct
    {
        Rect stored, placed;
    } cases[] = {
        {{200, 50, 800, 600}, {200, 50, 800, 600}},           // fits: kept
        {{200, 50, 10, 5}, {200, 50, 200, 150}},              // too small: the minimum
        {{200, 50, 66666666, 66666666}, {200, 50, 1280, 1000}}, // MainWidth=999999999: the area
        {{1000, 900, 800, 600}, {1000, 900, 800, 600}},       // partly off: kept, still reachable
        {{5000, 50, 800, 600}, {580, 50, 800, 600}},          // right of the area: moved onto it
        {{-900, 50, 800, 600}, {100, 50, 800, 600}},          // left of it
        {{200, 1000, 800, 600}, {200, 400, 800, 600}},        // below it
        {{300, -50, 800, 600}, {300, 0, 800, 600}},           // title bar above it
        {{2147483000, 2147483000, 2147483000, 2147483000}, {100, 0, 1280, 1000}},
        {{-2147483000, -2147483000, 800, 600}, {100, 0, 800, 600}},
    };
    for (const auto &c : cases) {
        const Rect r = PlaceWindow(c.stored, area, 200, 150);
        EXPECT_EQ(r, c.placed) << "case " << &c - cases << " -> " << r.left << "," << r.top << " " << r.width
                               << "x" << r.height;
    }
}

TEST(WindowLayoutTest, LiveStripShortensThePanelExceptOnTheVQTable)
{
    Input in;
    in.splitterX = 2000;
    in.windowWidth = 8000;
    in.clientBottom = 6000;
    in.realTime = true;
    in.stripHeight = 1500;
    Result r = Compute(in);
    EXPECT_TRUE(r.stripVisible);
    EXPECT_EQ(r.panel.height, 4500);
    EXPECT_EQ(r.strip, (Rect{2040, 4500, 5800, 1500}));

    in.vqSelected = true;
    r = Compute(in);
    EXPECT_FALSE(r.stripVisible);
    EXPECT_EQ(r.panel.height, 6000);

    in.vqSelected = false;
    in.realTime = false;
    EXPECT_FALSE(Compute(in).stripVisible);
}

#include "platform/WindowLayout.h"

#include <gtest/gtest.h>

using namespace WindowLayout;

TEST(WindowLayoutTest, SplitterAndWidthAreClamped)
{
    const std::pair<int, int> splitter[] = {{100, 500}, {6300, 6000}, {2500, 2500}, {500, 500}, {6000, 6000}};
    for (auto [x, clamped] : splitter)
        EXPECT_EQ(ClampSplitter(x, 6500), clamped) << x;
    EXPECT_EQ(std::pair(ClampWindowWidth(2000), ClampWindowWidth(9000)), std::pair(3000, 9000));
}

// The whole window, frame included, on the area: a place stored on a larger
// screen is moved and shrunk onto a smaller one.
TEST(WindowLayoutTest, TheStoredWindowIsHeldToTheScreen)
{
    // A 1280 x 1000 work area whose left edge is at 100 (a panel to its left);
    // the window is at least 200 x 150.
    const Rect area{100, 0, 1280, 1000};
    const Frame none, framed{10, 30};
    const struct
    {
        Rect stored;
        Frame frame;
        Rect placed;
    } cases[] = {
        {{200, 50, 800, 600}, none, {200, 50, 800, 600}},           // fits: kept
        {{200, 50, 10, 5}, none, {200, 50, 200, 150}},              // too small: the minimum
        {{200, 50, 66666666, 66666666}, none, {100, 0, 1280, 1000}}, // MainWidth=999999999: the area
        {{1000, 900, 800, 600}, none, {580, 400, 800, 600}},        // partly off: moved in
        {{1000, 900, 800, 600}, framed, {570, 370, 800, 600}},      // ... with its frame
        {{200, 50, 5000, 5000}, framed, {100, 0, 1270, 970}},       // from a larger screen
        {{5000, 50, 800, 600}, none, {580, 50, 800, 600}},          // right of the area
        {{-900, 50, 800, 600}, none, {100, 50, 800, 600}},          // left of it
        {{300, -50, 800, 600}, none, {300, 0, 800, 600}},           // title bar above it
        {{2147483000, 2147483000, 2147483000, 2147483000}, framed, {100, 0, 1270, 970}},
        {{-2147483000, -2147483000, 800, 600}, none, {100, 0, 800, 600}},
    };
    for (const auto &c : cases) {
        const Rect r = PlaceWindow(c.stored, area, 200, 150, c.frame);
        EXPECT_EQ(r, c.placed) << "case " << &c - cases << " -> " << r.left << "," << r.top << " " << r.width
                               << "x" << r.height;
    }
    // A screen smaller than the minimum: the title bar stays on it.
    EXPECT_EQ(PlaceWindow({300, 300, 100, 100}, {0, 0, 150, 100}, 200, 150), (Rect{0, 0, 200, 150}));
}

// No stored place: most of the screen, centred, frame included.
TEST(WindowLayoutTest, AFirstStartOpensOnMostOfTheScreen)
{
    const Frame frame{10, 30};
    const std::pair<Rect, Rect> cases[] = {
        {{0, 0, 1600, 1000}, {160, 70, 1270, 830}},
        {{0, 30, 1280, 770}, {64, 68, 1142, 663}},
        {{0, 0, 640, 400}, {32, 20, 566, 330}}, // 1280 x 800 scaled by 2
    };
    for (const auto &[area, placed] : cases)
        EXPECT_EQ(FirstPlace(area, 200, 150, frame), placed) << area.width;
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
    EXPECT_EQ(std::tuple(r.stripVisible, r.panel.height, r.strip),
              std::tuple(true, 4500, Rect{2040, 4500, 5800, 1500}));

    in.vqSelected = true;
    r = Compute(in);
    EXPECT_EQ(std::pair(r.stripVisible, r.panel.height), std::pair(false, 6000));

    in.vqSelected = false;
    in.realTime = false;
    EXPECT_FALSE(Compute(in).stripVisible);
}

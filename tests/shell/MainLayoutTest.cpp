#include "shell/MainLayout.h"

#include <gtest/gtest.h>

using namespace MainLayout;

TEST(MainLayoutTest, SplitterDragIsClampedToTheWindow)
{
    EXPECT_EQ(ClampSplitter(100, 6500), 500);
    EXPECT_EQ(ClampSplitter(6500 - 200, 6500), 6000);
    EXPECT_EQ(ClampSplitter(2500, 6500), 2500);
    EXPECT_EQ(ClampSplitter(500, 6500), 500);
    EXPECT_EQ(ClampSplitter(6000, 6500), 6000);
}

TEST(MainLayoutTest, WindowNeverNarrowerThan3000Twips)
{
    EXPECT_EQ(ClampWindowWidth(2000), 3000);
    EXPECT_EQ(ClampWindowWidth(3000), 3000);
    EXPECT_EQ(ClampWindowWidth(9000), 9000);
}

TEST(MainLayoutTest, TreeSplitterAndPanelFollowTheSplitter)
{
    Input in;
    in.splitterX = 2500.4;
    in.windowWidth = 8000;
    in.clientTop = 300;
    in.clientBottom = 5300;
    const Result r = Compute(in);
    EXPECT_EQ(r.tree, (Rect{5, 300, 2500, 5000}));
    EXPECT_EQ(r.splitterLeft, 2500);
    EXPECT_EQ(r.storedSplitterX, 2500);
    EXPECT_EQ(r.panel, (Rect{2540, 300, 8000 - 2700, 5000}));
    EXPECT_FALSE(r.stripVisible);
}

TEST(MainLayoutTest, LiveStripShortensThePanelExceptOnTheVQTable)
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

TEST(MainLayoutTest, StoredSplitterIsRoundedHalfToEven)
{
    Input in;
    in.splitterX = 2500.5;
    EXPECT_EQ(Compute(in).storedSplitterX, 2500);
    in.splitterX = 2501.5;
    EXPECT_EQ(Compute(in).storedSplitterX, 2502);
}

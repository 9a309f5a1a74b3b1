#include "platform/window_fit.h"

#include <gtest/gtest.h>

using platform::Area;
using platform::Borders;
using platform::comfortableScale;
using platform::largestScale;
using platform::placeWindow;

namespace {
constexpr int W = 640;
constexpr int H = 480;
const Borders titleBar{20, 1, 1, 1};
const Borders none{};
}  // namespace

TEST(WindowScale, CommonDesktopsGetTheLargestFactorThatFitsAndAComfortableOne)
{
    const struct {
        Area usable;
        int largest;
        int comfortable;
    } desktops[] = {
        {{0, 0, 1920, 1080}, 2, 1},  // 2x would take 960 of 1080 rows: more than three quarters
        {{0, 0, 1920, 1040}, 2, 1},  // a panel takes 40 rows
        {{0, 0, 2560, 1440}, 2, 2},  // 3x needs 1440 rows and the title bar
        {{0, 0, 3840, 2160}, 4, 3}, {{0, 0, 1280, 1024}, 1, 1},  // 2x is too wide
        {{0, 0, 1024, 768}, 1, 1},
    };
    for (const auto& d : desktops) {
        EXPECT_EQ(largestScale(d.usable, titleBar, W, H), d.largest)
            << d.usable.width << "x" << d.usable.height;
        EXPECT_EQ(comfortableScale(d.usable, titleBar, W, H), d.comfortable)
            << d.usable.width << "x" << d.usable.height;
    }
}

TEST(WindowScale, TheTitleBarCountsAgainstTheLargestFactor)
{
    // 960 rows fit 960 exactly, but not with a title bar.
    EXPECT_EQ(largestScale({0, 0, 1920, 960}, none, W, H), 2);
    EXPECT_EQ(largestScale({0, 0, 1920, 960}, titleBar, W, H), 1);
}

TEST(WindowScale, ADesktopSmallerThanThePictureStillGetsFactorOne)
{
    EXPECT_EQ(largestScale({0, 0, 320, 240}, titleBar, W, H), 1);
    EXPECT_EQ(comfortableScale({0, 0, 320, 240}, titleBar, W, H), 1);
    EXPECT_EQ(largestScale({0, 0, 0, 0}, none, W, H), 1);
    EXPECT_EQ(largestScale({0, 0, 1920, 1080}, none, 0, 0), 1);
}

TEST(WindowPlace, AWindowThatFitsStaysWhereItIs)
{
    const Area at{100, 100, W, H};
    const Area placed = placeWindow(at, titleBar, {0, 0, 1920, 1080});
    EXPECT_EQ(placed.x, 100);
    EXPECT_EQ(placed.y, 100);
    EXPECT_EQ(placed.width, W);
    EXPECT_EQ(placed.height, H);
}

TEST(WindowPlace, AGrownWindowMovesJustEnoughToStayOnTheDesktop)
{
    // Twice the size at the design's place would end below the screen.
    const Area placed = placeWindow({101, 120, 2 * W, 2 * H}, titleBar, {0, 0, 1920, 1080});
    EXPECT_EQ(placed.x, 101);
    EXPECT_EQ(placed.y, 1080 - 1 - 2 * H);
    // Past the right edge: moved left, its border kept on screen.
    const Area right = placeWindow({1500, 50, 2 * W, 2 * H}, titleBar, {0, 0, 1920, 1080});
    EXPECT_EQ(right.x, 1920 - 1 - 2 * W);
    EXPECT_EQ(right.y, 50);
}

TEST(WindowPlace, PanelsAndOtherMonitorsBoundThePlace)
{
    // A panel on top: the title bar stays below it.
    const Area below = placeWindow({10, 0, W, H}, titleBar, {0, 30, 1920, 1050});
    EXPECT_EQ(below.y, 30 + 20);
    EXPECT_EQ(below.x, 10);
    // A second monitor right of the first.
    const Area second = placeWindow({1900, 100, W, H}, titleBar, {1920, 0, 1280, 1024});
    EXPECT_EQ(second.x, 1920 + 1);
}

TEST(WindowPlace, AWindowLargerThanTheDesktopShowsItsTopLeftCorner)
{
    const Area placed = placeWindow({300, 300, 4 * W, 4 * H}, titleBar, {0, 0, 1920, 1080});
    EXPECT_EQ(placed.x, 1);
    EXPECT_EQ(placed.y, 20);
}

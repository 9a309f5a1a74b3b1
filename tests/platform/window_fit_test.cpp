#include "platform/window_fit.h"

#include <gtest/gtest.h>

using platform::Area;
using platform::Borders;
using platform::comfortableScale;
using platform::isScaleStep;
using platform::largestScale;
using platform::nextScaleStep;
using platform::OneX;
using platform::pictureArea;
using platform::placeWindow;
using platform::scaleStepAtMost;

namespace {
constexpr int W = 640;
constexpr int H = 480;
const Borders titleBar{20, 1, 1, 1};
const Borders none{};
}  // namespace

TEST(WindowScale, CommonDesktopsGetTheLargestStepThatFitsAndAComfortableOne)
{
    // In half factors: 2 is 1x, 3 is 1.5x, 4 is 2x, 8 is 4x.
    const struct {
        Area usable;
        Borders borders;
        int largest;
        int comfortable;
    } desktops[] = {
        // 2x with its title bar takes 981 rows, more than nine tenths (972).
        {{0, 0, 1920, 1080}, titleBar, 4, 3},
        {{0, 0, 1920, 1080}, none, 4, 3},      // bare: a title bar's rows are kept free
        {{0, 0, 1920, 1040}, titleBar, 4, 3},  // a panel takes 40 rows
        {{0, 0, 2560, 1440}, titleBar, 4, 4},  // 3x needs 1440 rows and the title bar
        {{0, 0, 3840, 2160}, titleBar, 8, 6},  // 4x and a title bar pass 1944 rows
        {{0, 0, 3840, 2160}, none, 8, 6},
        {{0, 0, 2560, 1440}, none, 6, 4},      // 3x fills the bare screen exactly
        {{0, 0, 1280, 1024}, titleBar, 3, 3},  // 2x is too wide, 1.5x is not
        {{0, 0, 1600, 900}, titleBar, 3, 3},
        {{0, 0, 1366, 768}, titleBar, 3, 2},  // 1.5x fits, but not within nine tenths
        {{0, 0, 1024, 768}, titleBar, 3, 2},
        {{0, 0, 1024, 700}, titleBar, 2, 2},
        {{0, 0, 320, 240}, titleBar, 2, 2},  // smaller than the picture: still 1x
        {{0, 0, 0, 0}, none, 2, 2},
    };
    for (const auto& d : desktops) {
        EXPECT_EQ(largestScale(d.usable, d.borders, W, H), d.largest)
            << d.usable.width << "x" << d.usable.height;
        EXPECT_EQ(comfortableScale(d.usable, d.borders, W, H), d.comfortable)
            << d.usable.width << "x" << d.usable.height;
    }
    EXPECT_EQ(largestScale({0, 0, 1920, 1080}, none, 0, 0), OneX);
}

TEST(WindowScale, TheTitleBarCountsAgainstTheLargestFactor)
{
    // 960 rows fit 960 exactly, but not with a title bar.
    EXPECT_EQ(largestScale({0, 0, 1920, 960}, none, W, H), 4);
    EXPECT_EQ(largestScale({0, 0, 1920, 960}, titleBar, W, H), 3);
}

TEST(WindowScale, StepsRunFromOneXByHalvesToOneAndAHalfThenByWholeFactors)
{
    const int up[] = {2, 3, 4, 6, 8, 10};
    for (int k = 0; k + 1 < 6; ++k) {
        EXPECT_EQ(nextScaleStep(up[k], +1), up[k + 1]) << up[k];
        EXPECT_EQ(nextScaleStep(up[k + 1], -1), up[k]) << up[k + 1];
        EXPECT_TRUE(isScaleStep(up[k]));
    }
    EXPECT_EQ(nextScaleStep(OneX, -1), OneX);
    for (int odd : {0, 1, 5, 7, 9})
        EXPECT_FALSE(isScaleStep(odd)) << odd;
    const int atMost[][2] = {{0, 2}, {1, 2}, {2, 2}, {3, 3}, {4, 4}, {5, 4}, {7, 6}};
    for (const auto& a : atMost)
        EXPECT_EQ(scaleStepAtMost(a[0]), a[1]) << a[0];
}

TEST(PictureArea, ThePictureTakesTheLargestStepCentredOrWithAnyFactorTheLargestSize)
{
    const struct {
        int width, height;
        bool anyFactor;
        Area expected;
    } windows[] = {
        {640, 480, false, {0, 0, 640, 480}},
        {960, 720, false, {0, 0, 960, 720}},
        {1000, 760, false, {20, 20, 960, 720}},
        {1280, 959, false, {160, 119, 960, 720}},   // one row short of 2x
        {1920, 1059, false, {320, 49, 1280, 960}},  // maximised under a title bar
        {1920, 1080, false, {320, 60, 1280, 960}},  // fullscreen
        {1920, 1080, true, {240, 0, 1440, 1080}},   // 2.25x, as high as the screen
        {1920, 1059, true, {254, 0, 1412, 1059}},
        {2000, 1500, true, {0, 0, 2000, 1500}},
        {3000, 1000, true, {833, 0, 1333, 1000}},
        {1280, 960, true, {0, 0, 1280, 960}},  // a whole factor either way
        {500, 400, false, {0, 0, 640, 480}},   // never below 1x
        {500, 400, true, {0, 0, 640, 480}},
    };
    for (const auto& w : windows) {
        const Area a = pictureArea(w.width, w.height, W, H, w.anyFactor);
        const auto where = ::testing::Message() << w.width << "x" << w.height << " any " << w.anyFactor;
        EXPECT_EQ(a.x, w.expected.x) << where;
        EXPECT_EQ(a.y, w.expected.y) << where;
        EXPECT_EQ(a.width, w.expected.width) << where;
        EXPECT_EQ(a.height, w.expected.height) << where;
    }
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

#include "mainwindow/Geometry.h"

#include <gtest/gtest.h>

#include <cstdint>

namespace {

TEST(Geometry, ControlsSitWhereTheTablesPutThem) {
    const FrameMetrics bitmap{false, 4, 18, 20};
    const FrameMetrics windows{true, 0, 0, 36};
    struct Case {
        const char* what;
        FrameMetrics frame;
        ClientSize client;
        bool vertical;
        WindowRect keyboard;
        WindowRect trackbar;
    };
    const Case cases[] = {
        {"bitmap, horizontal", bitmap, {700, 120}, false, {5, 23, 671, 92}, {675, 23, 20, 92}},
        {"bitmap, vertical", bitmap, {120, 700}, true, {5, 43, 110, 652}, {5, 23, 110, 20}},
        {"windows, horizontal", windows, {700, 120}, false, {0, 0, 664, 120}, {664, 0, 36, 120}},
        {"windows, vertical", windows, {120, 700}, true, {0, 36, 120, 664}, {0, 0, 120, 36}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(KeyboardRect(c.frame, c.client, c.vertical), c.keyboard) << c.what;
        EXPECT_EQ(TrackbarRect(c.frame, c.client, c.vertical), c.trackbar) << c.what;
    }
}

TEST(Geometry, APositionPastTheScreenGoesToTheBottomRightCorner) {
    struct Case {
        int left, top;
        Placement expected;
    };
    const Case cases[] = {
        {100, 5000, {1920 - 716, 1080 - 140}}, // Top past the bottom: Left corrected too
        {5000, 100, {1920 - 716, 1080 - 140}},
        {1920, 0, {1920 - 716, 1080 - 140}}, // exactly at the edge counts as past it
        {-300, 100, {-300, 100}},            // off the left edge: kept
        {1203, 939, {1203, 939}},
    };
    for (const Case& c : cases) {
        Placement p = CorrectPlacement(c.left, c.top, 716, 140, 1920, 1080);
        EXPECT_EQ(p.left, c.expected.left) << c.left << "," << c.top;
        EXPECT_EQ(p.top, c.expected.top) << c.left << "," << c.top;
    }
}

TEST(Geometry, ZoomStaysWithinSevenAndAHundred) {
    EXPECT_EQ(ZoomedOut(7), 7);
    EXPECT_EQ(ZoomedOut(16), 15);
    EXPECT_EQ(ZoomedIn(100), 100);
    EXPECT_EQ(ZoomedIn(16), 17);
    // Stored widths far outside the range come back into it without overflowing.
    EXPECT_EQ(ZoomedIn(INT32_MAX), 100);
    EXPECT_EQ(ZoomedOut(INT32_MIN), 7);
}

TEST(Geometry, APlacementFromStoredSizesAtTheEdgesOfTheirRangeDoesNotOverflow) {
    Placement p = CorrectPlacement(2000, 0, INT32_MIN, INT32_MIN, 1920, 1080);
    EXPECT_EQ(p.left, INT32_MAX);
    EXPECT_EQ(p.top, INT32_MAX);
    p = CorrectPlacement(2000, 0, INT32_MAX, 140, 1920, 1080);
    EXPECT_EQ(p.left, 1920 - INT32_MAX);
    EXPECT_EQ(p.top, 1080 - 140);
}

} // namespace

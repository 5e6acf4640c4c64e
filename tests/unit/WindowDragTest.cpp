#include "mainwindow/WindowDrag.h"

#include <gtest/gtest.h>

namespace zevaver {

namespace {

TEST(BorderHitTest, ThePressPointPicksTheEdgesAndTheCursor) {
    const ClientSize client{716, 140};
    const fw::PixelRect inner = InnerRect(client, 4);
    using C = ResizeCursor;
    struct Case {
        int x, y;
        bool resizes;
        ResizeEdges edges; // left, top, right, bottom
        ResizeCursor cursor;
    };
    const Case cases[] = {
        {10, 10, false, {}, C::Arrow}, // inside: goes to the chrome controls
        {2, 10, true, {true, true, false, false}, C::NorthWestSE},
        {2, 60, true, {true, false, false, false}, C::WestEast},
        {714, 2, true, {false, true, true, false}, C::NorthEastSW},
        {714, 130, true, {false, false, true, true}, C::NorthWestSE},
        {3, 138, true, {true, false, false, true}, C::NorthEastSW},
        {300, 0, true, {false, true, false, false}, C::NorthSouth},
        {300, 3, true, {false, true, false, false}, C::NorthSouth},
        {300, 136, true, {false, false, false, true}, C::NorthSouth},
        {713, 60, true, {false, false, true, false}, C::WestEast},
        {716 - 16, 2, true, {false, true, true, false}, C::NorthEastSW}, // corner's first column
        {716 - 17, 2, true, {false, true, false, false}, C::NorthSouth},
    };
    for (const Case& c : cases) {
        const BorderHit hit = BorderHitTest(c.x, c.y, client, inner, 16, 4);
        EXPECT_EQ(hit.resizes, c.resizes) << c.x << "," << c.y;
        EXPECT_EQ(hit.edges, c.edges) << c.x << "," << c.y;
        EXPECT_EQ(hit.cursor, c.cursor) << c.x << "," << c.y;
    }
}

TEST(BorderHitTest, WithoutABorderNothingResizes) {
    const ClientSize client{716, 140};
    for (auto [x, y] : {std::pair{0, 0}, {715, 139}, {0, 70}})
        EXPECT_FALSE(BorderHitTest(x, y, client, InnerRect(client, 0), 16, 0).resizes);
}

TEST(WindowDrag, TheTitleDragMovesTheWindowByThePointersTravel) {
    WindowDrag drag;
    ScreenPoint topLeft{};
    EXPECT_FALSE(drag.TitleMove({500, 500}, topLeft)); // no press yet
    // The window at (200, 300); a press at (40, 7) of a title image at (20, 4).
    drag.TitleDown(40, 7, 20, 4);
    ASSERT_TRUE(drag.TitleMove({200 + 60 + 35, 300 + 11 - 12}, topLeft));
    EXPECT_EQ(topLeft, (ScreenPoint{235, 288}));
    drag.TitleUp();
    EXPECT_FALSE(drag.TitleMove({0, 0}, topLeft));
}

TEST(WindowDrag, ABorderDragMovesTheChosenEdgesAndStopsAtTheMinimumSize) {
    const fw::PixelRect window{200, 300, 916, 440}; // 716 x 140
    struct Case {
        const char* what;
        ResizeEdges edges;
        int pressX, pressY;
        ScreenPoint pointer;
        fw::PixelRect expected;
    };
    const Case cases[] = {
        {"left edge 50 to the left",
         {true, false, false, false},
         2,
         60,
         {152, 360},
         {150, 300, 916, 440}},
        {"left edge past the minimum",
         {true, false, false, false},
         2,
         60,
         {900, 360},
         {816, 300, 916, 440}},
        {"right edge in to 100",
         {false, false, true, false},
         714,
         60,
         {200 + 50, 360},
         {200, 300, 300, 440}},
        {"top-left corner", {true, true, false, false}, 2, 10, {212, 290}, {210, 280, 916, 440}},
        {"bottom edge past the minimum",
         {false, false, false, true},
         300,
         138,
         {500, 0},
         {200, 300, 916, 380}},
        {"bottom-right corner out",
         {false, false, true, true},
         714,
         138,
         {1000, 500},
         {200, 300, 1002, 502}},
    };
    for (const Case& c : cases) {
        WindowDrag drag;
        drag.BorderDown(c.edges, c.pressX, c.pressY, 716, 140);
        fw::PixelRect bounds{};
        ASSERT_TRUE(drag.BorderMove(window, c.pointer, bounds)) << c.what;
        EXPECT_EQ(bounds.left, c.expected.left) << c.what;
        EXPECT_EQ(bounds.top, c.expected.top) << c.what;
        EXPECT_EQ(bounds.right, c.expected.right) << c.what;
        EXPECT_EQ(bounds.bottom, c.expected.bottom) << c.what;
        drag.BorderUp();
        EXPECT_FALSE(drag.BorderMove(window, c.pointer, bounds)) << c.what;
    }
}

} // namespace

} // namespace zevaver

// The real program under Wine with a bitmap skin of known sizes, moved, resized, turned,
// zoomed and played through its chrome with real mouse input.
#include "ProgramUnderTest.h"

#include "FrameSkin.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <string>

namespace zevaver {

namespace {

using e2e::Bounds;
using e2e::NoteOn;
using e2e::ProgramUnderTest;

using e2e::B;
using e2e::ButtonWidth;
using e2e::CloseDown;
using e2e::CloseUp;
using e2e::F;
using e2e::T;
using e2e::WriteFrameSkin;
constexpr int Width = 716, Height = 140;

class WindowGeometry : public ::testing::Test {
protected:
    void StartWith(const std::string& faderStyle = "skinned", const std::string& velocity = "0") {
        WriteFrameSkin(std::filesystem::path(program.Folder()) / "Skins" / "Frame", faderStyle);
        e2e::StoreWindowSettings("Frame", velocity);
        ASSERT_TRUE(program.Start());
        window = program.MainWindow();
        SetForegroundWindow(window);
        program.Settle(300);
    }
    POINT At(int x, int y) const {
        RECT r = Bounds(window);
        return {r.left + x, r.top + y};
    }
    // Moves the pointer to a point of the window as it lies now.
    void MoveTo(int x, int y) const {
        POINT p = At(x, y);
        e2e::MouseMoveTo(p.x, p.y);
        program.Settle(120);
    }
    void MoveBy(POINT from, int dx, int dy) const {
        e2e::MouseMoveTo(from.x + dx, from.y + dy);
        program.Settle(150);
    }
    COLORREF Pixel(int x, int y) const {
        POINT p = At(x, y);
        return e2e::ScreenPixel(p.x, p.y);
    }
    void OpenMenu() const {
        MoveTo(100, 80);
        e2e::MouseRightClick();
        program.Settle(400);
    }
    // The width of the first white key on screen: the distance from the keyboard's left
    // edge to the first outline along a row below the black keys.
    int FirstKeyWidth() const {
        const int y = Height - B - 6;
        const COLORREF white = Pixel(B + 3, y);
        for (int x = B + 4; x < B + 120; ++x)
            if (Pixel(x, y) != white) return x - (B + 1);
        return -1;
    }

    ProgramUnderTest program{"WindowGeometry"};
    HWND window = nullptr;
};

TEST_F(WindowGeometry, TheVerticalCommandSwapsWidthAndHeightAndBack) {
    StartWith();
    RECT r = Bounds(window);
    ASSERT_EQ(r.right - r.left, Width);
    ASSERT_EQ(r.bottom - r.top, Height);
    for (auto [width, height] : {std::pair{Height, Width}, {Width, Height}}) {
        OpenMenu();
        e2e::Tap('V');
        program.Settle(400);
        r = Bounds(window);
        EXPECT_EQ(r.right - r.left, width);
        EXPECT_EQ(r.bottom - r.top, height);
    }
}

TEST_F(WindowGeometry, ZoomKeysChangeTheKeyWidthAndKeepTheWindowSize) {
    StartWith();
    const RECT before = Bounds(window);
    EXPECT_EQ(FirstKeyWidth(), 16);
    e2e::Tap(VK_ADD);
    program.Settle(300);
    EXPECT_EQ(FirstKeyWidth(), 17);
    e2e::Tap(VK_SUBTRACT);
    e2e::Tap(VK_SUBTRACT);
    program.Settle(300);
    EXPECT_EQ(FirstKeyWidth(), 15);
    const RECT after = Bounds(window);
    EXPECT_EQ(after.right - after.left, before.right - before.left);
    EXPECT_EQ(after.bottom - after.top, before.bottom - before.top);
}

TEST_F(WindowGeometry, ATitleDragMovesTheWindowByTheDragDistance) {
    StartWith();
    const RECT before = Bounds(window);
    MoveTo(300, B + T / 2);
    const POINT start = At(300, B + T / 2);
    e2e::MouseLeftDown();
    program.Settle(100);
    MoveBy(start, 30, 20);
    MoveBy(start, 80, 50);
    e2e::MouseLeftUp();
    program.Settle(200);
    const RECT after = Bounds(window);
    EXPECT_EQ(after.left - before.left, 80);
    EXPECT_EQ(after.top - before.top, 50);
    EXPECT_EQ(after.right - after.left, Width);
}

TEST_F(WindowGeometry, ABorderDragResizesAndStopsAtAHundredPixelsWide) {
    StartWith();
    const RECT before = Bounds(window);
    MoveTo(Width - 2, Height / 2); // the right edge
    const POINT start = At(Width - 2, Height / 2);
    e2e::MouseLeftDown();
    program.Settle(100);
    MoveBy(start, -116, 0);
    RECT r = Bounds(window);
    EXPECT_EQ(r.right - r.left, Width - 116);
    EXPECT_EQ(r.left, before.left);
    MoveBy(start, -700, 0);
    e2e::MouseLeftUp();
    program.Settle(200);
    r = Bounds(window);
    EXPECT_EQ(r.right - r.left, 100);
    EXPECT_EQ(r.left, before.left);
    EXPECT_EQ(r.bottom - r.top, Height);
}

TEST_F(WindowGeometry, TheCloseButtonClosesOnlyWhenReleasedOverIt) {
    StartWith();
    const int x = Width - B - ButtonWidth / 2, y = B + T / 2;
    EXPECT_EQ(Pixel(x, y), CloseUp);

    MoveTo(x, y);
    e2e::MouseLeftDown();
    program.Settle(150);
    EXPECT_EQ(Pixel(x, y), CloseDown);
    MoveTo(x - 300, y + 60);
    EXPECT_EQ(Pixel(x, y), CloseUp) << "outside the button it springs up";
    e2e::MouseLeftUp();
    program.Settle(300);
    EXPECT_TRUE(program.Running()) << "released outside: nothing happens";
    EXPECT_EQ(Pixel(x, y), CloseUp);

    MoveTo(x, y);
    e2e::MouseLeftDown();
    program.Settle(150);
    MoveTo(x - 300, y + 60);
    MoveTo(x, y);
    EXPECT_EQ(Pixel(x, y), CloseDown) << "back over it, it goes down again";
    e2e::MouseLeftUp();
    for (int i = 0; i < 100 && program.Running(); ++i) program.Settle(50);
    EXPECT_FALSE(program.Running());
}

TEST_F(WindowGeometry, AFaderDragSetsTheVelocityOfTheNextNote) {
    StartWith("skinned", "0");
    // The fader: x from 692 to 712, y from 23 to 136; a 113-pixel track with a 14-pixel
    // thumb travels 99 pixels. Its thumb starts at the top, the loudest end.
    const int x = Width - B - F / 2, y = B + T + 1 + 7;
    MoveTo(x, y);
    const POINT start = At(x, y);
    e2e::MouseLeftDown();
    program.Settle(100);
    MoveBy(start, -200, 33); // sideways does not matter; 33 down gives 42.33, value 42
    e2e::MouseLeftUp();
    program.Settle(200);

    program.ClearMidiLog();
    e2e::Tap('Z'); // note 48 in the Piano layout
    ASSERT_TRUE(program.WaitForShortMessages(2));
    EXPECT_EQ(program.ShortMessages().front(), NoteOn(48, 127 - 42));
}

TEST_F(WindowGeometry, TheStandardTrackbarAtItsTopEndPlaysVelocity127) {
    StartWith("windows", "90");
    HWND trackbar = FindWindowExA(window, nullptr, "msctls_trackbar32", nullptr);
    ASSERT_NE(trackbar, nullptr);
    ASSERT_TRUE(IsWindowVisible(trackbar));
    ASSERT_EQ(SendMessageA(trackbar, 0x400 /* TBM_GETPOS */, 0, 0), 90);
    // The thumb is found on the screen: the first light run of a few rows along a column
    // beside the channel (the tick marks are one row high).
    RECT bar{};
    GetWindowRect(trackbar, &bar);
    auto light = [](COLORREF c) {
        return GetRValue(c) > 180 && GetGValue(c) > 180 && GetBValue(c) > 180;
    };
    POINT thumb{0, 0};
    for (int x = bar.left + 10; x < bar.right - 4 && !thumb.y; ++x)
        for (int y = bar.top + 4; y < bar.bottom - 4; ++y)
            if (light(e2e::ScreenPixel(x, y)) && light(e2e::ScreenPixel(x, y + 2))) {
                thumb = {x, y + 2};
                break;
            }
    ASSERT_NE(thumb.y, 0) << "no thumb on the screen";
    e2e::MouseMoveTo(thumb.x, thumb.y);
    program.Settle(100);
    e2e::MouseLeftDown();
    program.Settle(100);
    e2e::MouseMoveTo(thumb.x, thumb.y - 60);
    program.Settle(100);
    e2e::MouseMoveTo(thumb.x, bar.top - 200);
    program.Settle(150);
    e2e::MouseLeftUp();
    program.Settle(200);
    EXPECT_EQ(SendMessageA(trackbar, 0x400 /* TBM_GETPOS */, 0, 0), 0);

    program.ClearMidiLog();
    e2e::Tap('Z');
    ASSERT_TRUE(program.WaitForShortMessages(2));
    EXPECT_EQ(program.ShortMessages().front(), NoteOn(48, 127));
}

} // namespace

} // namespace zevaver

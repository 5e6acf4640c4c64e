// The real program under Wine with a bitmap skin of known sizes, moved, resized, turned,
// zoomed and played through its chrome with real mouse input.
#include "ProgramUnderTest.h"

#include "support/BitmapFileWriter.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <string>

namespace zevaver {

namespace {

using e2e::Bounds;
using e2e::NoteOn;
using e2e::ProgramUnderTest;

// The test skin: border 4, title 18, fader strip 20, close and minimise buttons 16 wide.
constexpr int B = 4, T = 18, F = 20, ButtonWidth = 16;
constexpr int Width = 716, Height = 140;
constexpr COLORREF CloseUp = RGB(200, 40, 40);
constexpr COLORREF CloseDown = RGB(40, 200, 40);

void WriteSkin(const std::filesystem::path& folder, const std::string& faderStyle) {
    std::filesystem::create_directories(folder);
    FILE* config = _wfopen((folder / "config.txt").c_str(), L"w");
    ASSERT_NE(config, nullptr);
    fprintf(config,
            "WindowsStyle = No\nBorderSize = %d\nCornerSize = 8\n"
            "CornerArea = 16\nFaderStyle = %s\nFaderColor = 40, 40, 120\n",
            B, faderStyle.c_str());
    fclose(config);
    struct File {
        const char* name;
        int width, height;
        COLORREF color;
    };
    const File files[] = {
        {"Border.bmp", 32, 32, RGB(90, 90, 90)},
        {"Title Active.bmp", 200, T, RGB(30, 30, 160)},
        {"Title Inactive.bmp", 200, T, RGB(30, 30, 100)},
        {"Title Box.bmp", 8, T, RGB(20, 20, 60)},
        {"Icon.bmp", T, T, RGB(250, 200, 0)},
        {"Icon Blink.bmp", T, T, RGB(250, 250, 0)},
        {"Icon Disabled.bmp", T, T, RGB(120, 120, 120)},
        {"Close Btn.bmp", ButtonWidth, T, CloseUp},
        {"Close Btn Down.bmp", ButtonWidth, T, CloseDown},
        {"Minimize Btn.bmp", ButtonWidth, T, RGB(40, 40, 200)},
        {"Minimize Btn Down.bmp", ButtonWidth, T, RGB(40, 200, 200)},
        {"FaderV BG.bmp", F, 10, RGB(60, 60, 60)},
        {"FaderH BG.bmp", 10, F, RGB(60, 60, 60)},
        {"FaderV.bmp", 16, 14, RGB(220, 220, 220)},
        {"FaderH.bmp", 14, 16, RGB(220, 220, 220)},
        {"FaderV Active.bmp", 16, 14, RGB(255, 128, 0)},
        {"FaderH Active.bmp", 14, 16, RGB(255, 128, 0)},
        {"Fader Left.bmp", 3, F, RGB(100, 100, 100)},
        {"Fader Right.bmp", 3, F, RGB(100, 100, 100)},
        {"Fader Top.bmp", F, 3, RGB(100, 100, 100)},
        {"Fader Bottom.bmp", F, 3, RGB(100, 100, 100)},
    };
    for (const File& f : files)
        ASSERT_TRUE(fakes::WriteBitmap(folder / f.name, f.width, f.height, f.color)) << f.name;
}

class WindowGeometry : public ::testing::Test {
protected:
    void StartWith(const std::string& faderStyle = "skinned", const std::string& velocity = "0") {
        WriteSkin(std::filesystem::path(program.Folder()) / "Skins" / "Frame", faderStyle);
        // The settings a run reads, written without a first run (a value that is missing
        // from an existing key reads as 0).
        e2e::ForgetSettings();
        for (auto [name, value] : {std::pair<std::string, std::string>{"Skin", "Frame"},
                                   {"Left", "300"},
                                   {"Top", "200"},
                                   {"Width", std::to_string(Width)},
                                   {"Height", std::to_string(Height)},
                                   {"Velocity", velocity},
                                   {"Note Width", "16"},
                                   {"Vertical", "No"},
                                   {"Enabled", "Yes"},
                                   {"Layout", "Piano"},
                                   {"Channel", "1"},
                                   {"Pedal Key", "-1"}})
            e2e::StoreSetting(name, value);
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

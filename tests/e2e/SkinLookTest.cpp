// The shipped skins on the screen: the program started with each of them, its frame,
// title bar, icon and buttons checked pixel by pixel against the skin's own bitmaps, and a
// skin that is gone replaced by "Default".
#include "ProgramUnderTest.h"

#include <gtest/gtest.h>

#include <string>

namespace zevaver {

namespace {

using e2e::ProgramUnderTest;

// One of a skin's bitmaps as the platform reads it.
class SkinPicture {
public:
    explicit SkinPicture(const std::string& path)
        : bitmap_(static_cast<HBITMAP>(
              LoadImageA(nullptr, path.c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE))),
          dc_(CreateCompatibleDC(nullptr)), select_(dc_.get(), bitmap_.get()) {
        BITMAP info{};
        if (bitmap_ && GetObjectA(bitmap_.get(), sizeof info, &info)) {
            width = info.bmWidth;
            height = info.bmHeight;
        }
    }
    [[nodiscard]] COLORREF Pixel(int x, int y) const { return GetPixel(dc_.get(), x, y); }
    int width = 0;
    int height = 0;

private:
    fw::Bitmap bitmap_;
    fw::MemoryDc dc_;
    fw::SelectObjectScope select_;
};

std::string Hex(COLORREF color) {
    char text[16];
    std::snprintf(text, sizeof text, "%06lX", static_cast<unsigned long>(color));
    return text;
}

// Starts once with factory settings (which writes every value), then with the skin.
void StartWithSkin(ProgramUnderTest& program, const std::string& skin) {
    e2e::ForgetSettings();
    ASSERT_TRUE(program.Start());
    ASSERT_EQ(program.Close(), 0);
    e2e::StoreSetting("Skin", skin);
    e2e::StoreSetting("Left", "200");
    e2e::StoreSetting("Top", "300");
    ASSERT_TRUE(program.Start());
    SetForegroundWindow(program.MainWindow());
    program.Settle(500);
}

class ShippedSkin : public ::testing::TestWithParam<const char*> {};

TEST_P(ShippedSkin, FrameTitleIconAndButtonsAreDrawnFromTheSkinsBitmaps) {
    const std::string skin = GetParam();
    ProgramUnderTest program("Skin" + skin);
    StartWithSkin(program, skin);
    const std::string folder = program.Folder() + "\\Skins\\" + skin + "\\";
    HWND window = program.MainWindow();
    EXPECT_EQ(GetWindowLongPtrA(window, GWL_STYLE) & WS_CAPTION, 0) << "borderless";
    EXPECT_NE(GetWindowLongPtrA(window, GWL_EXSTYLE) & WS_EX_TOPMOST, 0);

    RECT r{};
    GetWindowRect(window, &r);
    const int W = r.right - r.left, H = r.bottom - r.top;
    const auto screen = [&](int x, int y) { return e2e::ScreenPixel(r.left + x, r.top + y); };
    const SkinPicture border(folder + "Border.bmp"), box(folder + "Title Box.bmp"),
        icon(folder + "Icon.bmp"), close(folder + "Close Btn.bmp"),
        minimize(folder + "Minimize Btn.bmp");
    ASSERT_GT(border.width, 0);
    ASSERT_GT(close.width, 0);
    const int B = 4, T = close.height; // as the shipped config.txt and bitmaps have them

    struct Probe {
        const char* what;
        int x, y;
        COLORREF expected;
    };
    const Probe probes[] = {
        {"top-left corner", 0, 0, border.Pixel(0, 0)},
        {"bottom-right corner", W - 1, H - 1, border.Pixel(border.width - 1, border.height - 1)},
        {"left edge", 1, H / 2, border.Pixel(1, border.height / 2)},
        {"icon", B + 10, B + 10, icon.Pixel(10, 10)},
        {"title bar", W - B - close.width - minimize.width - 3, B + T / 2,
         box.Pixel(box.width - 1, T / 2)},
        {"close button", W - B - close.width + 11, B + 10, close.Pixel(11, 10)},
        {"minimize button", W - B - close.width - minimize.width + 10, B + 16,
         minimize.Pixel(10, 16)},
    };
    for (const Probe& probe : probes)
        EXPECT_EQ(Hex(screen(probe.x, probe.y)), Hex(probe.expected)) << skin << ": " << probe.what;
    EXPECT_EQ(program.Close(), 0);
    EXPECT_EQ(e2e::StoredSetting("Skin"), skin);
}

INSTANTIATE_TEST_SUITE_P(Skins, ShippedSkin, ::testing::Values("Zevizi", "Default", "Midnight"));

TEST(SkinLook, TheWindowsStyleSkinHasThePlatformFrameAndItsOwnKeyColours) {
    ProgramUnderTest program("SkinClassic");
    StartWithSkin(program, "Classic");
    HWND window = program.MainWindow();
    EXPECT_EQ(GetWindowLongPtrA(window, GWL_STYLE) & (WS_CAPTION | WS_THICKFRAME),
              WS_CAPTION | WS_THICKFRAME);
    EXPECT_NE(GetWindowLongPtrA(window, GWL_EXSTYLE) & WS_EX_TOPMOST, 0);
    RECT client{};
    GetClientRect(window, &client);
    const POINT origin = e2e::ClientOrigin(window);
    // The first white key, low down where no black key reaches.
    EXPECT_EQ(Hex(e2e::ScreenPixel(origin.x + 6, origin.y + client.bottom - 6)),
              Hex(RGB(255, 250, 236)));
    EXPECT_EQ(program.Close(), 0);
}

TEST(SkinLook, AMissingSkinRunsWithDefaultAndStoresDefault) {
    ProgramUnderTest program("SkinMissing");
    StartWithSkin(program, "Missing");
    RECT r{};
    GetWindowRect(program.MainWindow(), &r);
    const SkinPicture border(program.Folder() + "\\Skins\\Default\\Border.bmp");
    EXPECT_EQ(Hex(e2e::ScreenPixel(r.left, r.top)), Hex(border.Pixel(0, 0)));
    EXPECT_EQ(program.Close(), 0);
    EXPECT_EQ(e2e::StoredSetting("Skin"), "Default");
}

} // namespace

} // namespace zevaver

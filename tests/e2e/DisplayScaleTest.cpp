// The real program on screens of 120, 144 and 192 DPI ("LogPixels", which Wine reads when a
// program starts, so every run gets the scale it is started at): the window keeps its size
// on the screen as the eye sees it, at 200 % it is the 100 % window with every pixel
// doubled, and the fader and the title follow the pointer to the pixel.
#include "ProgramUnderTest.h"

#include "FrameSkin.h"
#include "framework/DpiScale.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <tuple>
#include <vector>

namespace zevaver {

namespace {

using e2e::Bounds;
using e2e::ProgramUnderTest;

// The scale programs start at from now on; the one before comes back with the object.
class ScreenDpi {
public:
    explicit ScreenDpi(DWORD dpi) {
        DWORD size = sizeof previous_;
        had_ = RegGetValueA(HKEY_CURRENT_USER, Key, Name, RRF_RT_REG_DWORD, nullptr, &previous_,
                            &size) == ERROR_SUCCESS;
        Set(dpi);
    }
    ~ScreenDpi() {
        if (had_)
            Set(previous_);
        else
            RegDeleteKeyValueA(HKEY_CURRENT_USER, Key, Name);
    }
    ScreenDpi(const ScreenDpi&) = delete;
    ScreenDpi& operator=(const ScreenDpi&) = delete;

private:
    static constexpr const char* Key = "Control Panel\\Desktop";
    static constexpr const char* Name = "LogPixels";
    static void Set(DWORD dpi) {
        RegSetKeyValueA(HKEY_CURRENT_USER, Key, Name, REG_DWORD, &dpi, sizeof dpi);
    }
    DWORD previous_ = 96;
    bool had_ = false;
};

// The window's pixels as they are on the screen, row by row.
struct Picture {
    int width = 0, height = 0;
    std::vector<uint32_t> pixels;
    [[nodiscard]] uint32_t At(int x, int y) const {
        return pixels[static_cast<size_t>(y) * static_cast<size_t>(width) + static_cast<size_t>(x)];
    }
};

Picture Screenshot(HWND window) {
    const RECT r = Bounds(window);
    Picture picture{r.right - r.left, r.bottom - r.top, {}};
    fw::WindowDc screen(nullptr);
    fw::MemoryDc copy(CreateCompatibleDC(screen.get()));
    BITMAPINFO info{};
    info.bmiHeader = {sizeof info.bmiHeader, picture.width, -picture.height, 1, 32, BI_RGB};
    void* bits = nullptr;
    fw::Bitmap bitmap(CreateDIBSection(screen.get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!bitmap) return picture;
    fw::SelectObjectScope select(copy.get(), bitmap.get());
    BitBlt(copy.get(), 0, 0, picture.width, picture.height, screen.get(), r.left, r.top, SRCCOPY);
    GdiFlush();
    const auto* first = static_cast<const uint32_t*>(bits);
    picture.pixels.assign(first, first + picture.width * picture.height);
    for (uint32_t& pixel : picture.pixels) pixel &= 0x00FFFFFF;
    return picture;
}

class DisplayScale : public ::testing::Test {
protected:
    // A run of the program at a DPI with a skin, the pointer out of its way.
    void StartAt(DWORD dpi, const std::string& skin = "Frame") {
        scale = std::make_unique<ScreenDpi>(dpi);
        e2e::WriteFrameSkin(std::filesystem::path(program.Folder()) / "Skins" / "Frame", "skin");
        e2e::StoreWindowSettings(skin, "0");
        e2e::MouseMoveTo(5, 5);
        ASSERT_TRUE(program.Start());
        window = program.MainWindow();
        SetForegroundWindow(window);
        program.Settle(400);
    }
    void Stop() {
        program.Close();
        scale.reset();
    }
    void TearDown() override {
        if (program.Running()) program.Close();
        scale.reset();
    }
    POINT At(int x, int y) const {
        const RECT r = Bounds(window);
        return {r.left + x, r.top + y};
    }
    // Where the fader's thumb begins: the first row of its picture down a column.
    int ThumbTop(int x, int from, int to, COLORREF color) const {
        for (int y = from; y < to; ++y) {
            const POINT p = At(x, y);
            if (e2e::ScreenPixel(p.x, p.y) == color) return y;
        }
        return -1;
    }

    ProgramUnderTest program{"DisplayScale"};
    std::unique_ptr<ScreenDpi> scale;
    HWND window = nullptr;
};

TEST_F(DisplayScale, TheWindowAndItsKeysGrowWithTheScaleAtTheSameZoom) {
    for (const auto& [dpi, width, height, key] : std::vector<std::tuple<DWORD, int, int, int>>{
             {120, 895, 175, 20}, {144, 1074, 210, 24}, {192, 1432, 280, 32}}) {
        StartAt(dpi);
        const RECT r = Bounds(window);
        EXPECT_EQ(r.right - r.left, width) << dpi;
        EXPECT_EQ(r.bottom - r.top, height) << dpi;
        // The first white key, measured along a row below the black keys: from the
        // keyboard's left edge to the next key's outline.
        const fw::DpiScale s(static_cast<int>(dpi));
        const int left = s.Px(e2e::B) + s.Unit(), y = height - s.Px(e2e::B) - s.Px(6);
        const POINT start = At(left + s.Unit() + 1, y);
        const COLORREF white = e2e::ScreenPixel(start.x, start.y);
        int measured = -1;
        for (int x = left + s.Unit() + 2; x < left + 3 * key && measured < 0; ++x) {
            const POINT p = At(x, y);
            if (e2e::ScreenPixel(p.x, p.y) != white) measured = x - left;
        }
        EXPECT_EQ(measured, key) << dpi;
        Stop();
        EXPECT_EQ(e2e::StoredSetting("Width"), std::to_string(width)) << dpi;
        EXPECT_EQ(e2e::StoredSetting("DPI"), std::to_string(dpi)) << dpi;
    }
}

// The shipped skin: frame, title, icon, buttons, fader and keys, each pixel a block of four.
TEST_F(DisplayScale, AtTwoHundredPercentTheWindowIsTheOneHundredPercentOneWithEveryPixelDoubled) {
    StartAt(96, "Zevizi");
    const Picture small = Screenshot(window);
    Stop();
    StartAt(192, "Zevizi");
    const Picture large = Screenshot(window);
    ASSERT_EQ(large.width, 2 * small.width);
    ASSERT_EQ(large.height, 2 * small.height);
    int differences = 0;
    for (int y = 0; y < large.height; ++y)
        for (int x = 0; x < large.width; ++x)
            differences += large.At(x, y) != small.At(x / 2, y / 2);
    EXPECT_EQ(differences, 0);
}

// The skinned fader at 150 %: border 6, title 27, strip 30 wide, a thumb 21 high.
TEST_F(DisplayScale, TheFaderAndTheTitleFollowThePointerToThePixel) {
    StartAt(144);
    const RECT r = Bounds(window);
    const int width = r.right - r.left;
    const int x = width - 6 - 15, top = 6 + 27 + 2;
    const int thumb = ThumbTop(x, top, top + 40, e2e::ThumbIdle);
    ASSERT_EQ(thumb, top) << "the loudest end";
    const POINT press = At(x, thumb + 10);
    e2e::MouseMoveTo(press.x, press.y);
    program.Settle(120);
    e2e::MouseLeftDown();
    program.Settle(120);
    e2e::MouseMoveTo(press.x - 100, press.y + 37);
    program.Settle(200);
    e2e::MouseLeftUp();
    program.Settle(200);
    EXPECT_EQ(ThumbTop(x, top, 210, e2e::ThumbIdle), thumb + 37);

    const POINT grab = At(300, 6 + 27 / 2);
    e2e::MouseMoveTo(grab.x, grab.y);
    program.Settle(120);
    e2e::MouseLeftDown();
    program.Settle(120);
    e2e::MouseMoveTo(grab.x + 83, grab.y + 41);
    program.Settle(200);
    e2e::MouseLeftUp();
    program.Settle(200);
    const RECT moved = Bounds(window);
    EXPECT_EQ(moved.left - r.left, 83);
    EXPECT_EQ(moved.top - r.top, 41);
}

} // namespace

} // namespace zevaver

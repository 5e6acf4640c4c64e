// The skin as the application core drives it, with the window's skin shell in memory: the
// skin comes before the keyboard's layout, a whole-window paint reaches the screen as one
// copy, a switch from the Skin submenu reapplies the look, and the playing switch redraws
// only the icon.
#include "SkinTestSupport.h"
#include "mainwindow/AppCore.h"
#include "skin/SkinFeature.h"
#include "support/FakeAppHost.h"
#include "support/FakeFiles.h"
#include "support/FakeMidiOut.h"
#include "support/FakeRegistry.h"
#include "mainwindow/WindowDrag.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace zevaver {

namespace {

using namespace skintest;

// Skin folders in memory behind the shell's platform part, a back buffer of the client's
// size, and a log of what reached the window.
class MemoryShell final : public SkinShell {
public:
    explicit MemoryShell(fakes::FakeAppHost& host) : host_(host) {}
    MemorySkins skins;
    std::vector<fw::PixelRect> flushes;
    std::vector<std::pair<bool, bool>> looks; // windows-style, trackbar shown
    bool shown = true;

    bool FileExists(const std::string& path) override { return skins.FileExists(path); }
    bool FolderExists(const std::string& path) override { return skins.FolderExists(path); }
    std::optional<std::string> ReadFile(const std::string& path) override {
        return skins.ReadFile(path);
    }
    std::optional<std::vector<std::string>> SkinFolders() override { return skins.SkinFolders(); }
    bool LoadBitmap(TSkinBitmap& bitmap, const std::string& path) override {
        return skins.LoadBitmap(bitmap, path);
    }
    void LoadSkinCursor(const std::string& path) override {
        skins.LoadSkinCursor(path);
        cursors.push_back(path + " at " + std::to_string(cursorDpi));
    }
    void SetCursorDpi(int dpi) override { cursorDpi = dpi; }
    void ReportError(const std::string& text) override { skins.ReportError(text); }
    int cursorDpi = 96;
    std::vector<std::string> cursors; // each pointer loaded, and the DPI it was sized for

    std::unique_ptr<TSkinBitmap> NewSkinBitmap() override {
        return std::make_unique<SizedBitmap>();
    }
    int backBuffers = 0; // how often it was asked for: every drawing asks
    fw::PixelSurface* BackBuffer() override {
        ++backBuffers;
        const ClientSize client = host_.ClientArea();
        pixels_.resize(static_cast<size_t>(client.width) * static_cast<size_t>(client.height));
        surface_ = {pixels_.data(), client.width, client.height, client.width};
        return &surface_;
    }
    // A pixel of the back buffer, and the whole of it filled with one colour.
    uint32_t Pixel(int x, int y) { return pixels_.at(static_cast<size_t>(y * surface_.width + x)); }
    void Fill(uint32_t pixel) {
        (void)BackBuffer();
        std::fill(pixels_.begin(), pixels_.end(), pixel);
    }
    void FlushRect(const fw::PixelRect& rect) override { flushes.push_back(rect); }
    void CopyScreenToBackBuffer() override {}
    fw::PixelRect WindowBounds() override {
        const WindowRect b = host_.WindowBounds();
        return {b.left, b.top, b.left + b.width, b.top + b.height};
    }
    bool IsMainWindowActive() override { return true; }
    bool WindowShown() override { return shown; }
    void PopupMenuAt(int, int) override {}
    void CloseMainWindow() override {}
    void MinimizeApplication() override {}
    void ApplyWindowLook(const TSkinConfig& config, bool trackbarVisible) override {
        looks.emplace_back(config.WindowsStyle, trackbarVisible);
    }

private:
    fakes::FakeAppHost& host_;
    std::vector<uint32_t> pixels_;
    fw::PixelSurface surface_{};
};

// A frameless window: its client area is the whole window, as in a bitmap skin.
class SkinnedHost final : public fakes::FakeAppHost {
public:
    MemoryShell shell{*this};
    SkinShell* Skins() override { return &shell; }
    ClientSize ClientArea() override { return {bounds.width, bounds.height}; }
};

class SkinnedCore : public ::testing::Test {
protected:
    void SetUp() override {
        // The factory skin: border 4, title 18, a skinned fader 20 wide.
        MemorySkins& skins = host.shell.skins;
        skins.Add("Zevizi", "config.txt", "WindowsStyle=No\nBorderSize=4\nFaderStyle=skin");
        for (const char* file :
             {"Title Active.bmp", "Title Inactive.bmp", "Title Box.bmp", "Icon.bmp",
              "Icon Blink.bmp", "Icon Disabled.bmp", "Close Btn.bmp", "Minimize Btn.bmp"})
            skins.Add("Zevizi", file, "18 x 18");
        skins.Add("Zevizi", "FaderV BG.bmp", "20 x 8");
        skins.Add("Zevizi", "Cursor.cur", "");
        skins.Add("Plain", "config.txt", "WindowsStyle=Yes\nFaderStyle=windows\nFaderWidth=0");
    }
    fw::MenuItem& SkinItem(const std::string& name) {
        fw::MenuItem& menu = core.Menu().Item("mnuSkin");
        for (size_t i = 0; i < menu.Count(); ++i)
            if (menu[i].Caption() == name) return menu[i];
        throw std::out_of_range(name);
    }

    SkinnedHost host;
    fakes::FakeMidiOut midi;
    fakes::FakeRegistry registry;
    fakes::FakeFiles files;
    AppCore core{host, midi, registry, files};
};

TEST_F(SkinnedCore, TheSkinIsAppliedBeforeTheKeyboardIsLaidOutInsideItsFrame) {
    core.Start();
    ASSERT_NE(core.Skin(), nullptr);
    EXPECT_EQ(host.shell.looks, (std::vector<std::pair<bool, bool>>{{false, false}}));
    const TSkinConfig& skin = core.State().SkinConfig;
    EXPECT_EQ(skin.TitleHeight, 18);
    EXPECT_EQ(skin.FaderWidth, 20);
    EXPECT_EQ(core.Keys().Left(), 5);
    EXPECT_EQ(core.Keys().Top(), 4 + 18 + 1);
    EXPECT_EQ(core.Keys().Width(), host.ClientArea().width - 8 - 20 - 1);
    EXPECT_TRUE(SkinItem("Zevizi").Checked());
    EXPECT_FALSE(SkinItem("Plain").Checked());
}

// At 150 % every length of the skin is half as long again: border 6, title 27, fader 30, and
// the free column and row 2; moved onto a screen of 200 %, the same skin at twice its size.
TEST_F(SkinnedCore, TheSkinAndTheKeyboardAreLaidOutAtTheScreensScaleAndFollowItsChanges) {
    host.dpi = 144;
    host.screen = {1920, 1080};
    core.Start();
    const TSkinConfig& skin = core.State().SkinConfig;
    EXPECT_EQ(std::tie(skin.BorderSize, skin.TitleHeight, skin.FaderWidth), std::tuple(6, 27, 30));
    EXPECT_EQ(core.Skin()->Chrome().TitleBox.Bitmap->Width(), 27);
    EXPECT_EQ(core.Keys().Left(), 8);
    EXPECT_EQ(core.Keys().Top(), 6 + 27 + 2);
    EXPECT_EQ(core.Keys().NoteWidth(), 24);
    EXPECT_EQ(host.bounds.width, 1074) << "the factory size at 150 %";

    host.shell.flushes.clear();
    core.DpiChanged(192, {50, 60, 1432, 280}, {0, 0});
    EXPECT_EQ(host.bounds, (WindowRect{50, 60, 1432, 280}));
    EXPECT_EQ(std::tie(skin.BorderSize, skin.TitleHeight, skin.FaderWidth), std::tuple(8, 36, 40));
    EXPECT_EQ(core.Keys().Left(), 10);
    EXPECT_EQ(core.Keys().Width(), 1432 - 16 - 40 - 2);
    EXPECT_EQ(core.Keys().NoteWidth(), 32);
    EXPECT_EQ(core.Skin()->Chrome().Fader.Bounds.left, 1432 - 8 - 40);
    EXPECT_EQ(core.MinimumSize(), (ClientSize{200, 160}));
    EXPECT_EQ(host.shell.cursors, (std::vector<std::string>{"Skins\\Zevizi\\Cursor.cur at 144",
                                                            "Skins\\Zevizi\\Cursor.cur at 192"}))
        << "the pointer at the size for the scale";

    // A skin loaded now is at the same scale; one that says nothing of its fader's width
    // gets the standard trackbar's 36 pixels at 96 DPI, 72 here.
    SkinItem("Plain").Click();
    EXPECT_TRUE(skin.WindowsStyle);
    EXPECT_EQ(skin.FaderWidth, 72);
    SkinItem("Zevizi").Click();
    EXPECT_EQ(skin.TitleHeight, 36);
    core.Stop();
    EXPECT_EQ(registry.User()["DPI"], "192");
    EXPECT_EQ(registry.User()["Width"], "1432");
}

TEST_F(SkinnedCore, AWholeWindowPaintReachesTheScreenAsOneCopy) {
    core.Start();
    host.shell.flushes.clear();
    core.Paint();
    ASSERT_EQ(host.shell.flushes.size(), 1u);
    const ClientSize client = host.ClientArea();
    EXPECT_EQ(host.shell.flushes[0], (fw::PixelRect{0, 0, client.width, client.height}));
}

TEST_F(SkinnedCore, ASwitchFromTheSkinSubmenuReappliesTheLookAndLaysTheWindowOutAgain) {
    core.Start();
    const int invalidations = host.invalidations;
    SkinItem("Plain").Click();
    EXPECT_EQ(core.State().Settings.Skin, "Plain");
    EXPECT_EQ(host.shell.looks.back(), std::make_pair(true, true));
    EXPECT_EQ(core.State().SkinConfig.FaderWidth, 36);
    EXPECT_EQ(core.Keys().Left(), 0);
    EXPECT_EQ(core.Keys().Top(), 0);
    EXPECT_GT(host.invalidations, invalidations);
    EXPECT_TRUE(SkinItem("Plain").Checked());
    EXPECT_FALSE(SkinItem("Zevizi").Checked());

    // A windows-style skin paints no chrome: the keyboard alone reaches the window.
    host.shell.flushes.clear();
    core.Paint();
    ASSERT_EQ(host.shell.flushes.size(), 1u);
    EXPECT_EQ(host.shell.flushes[0].top, 0);
}

TEST_F(SkinnedCore, ThePlayingSwitchRedrawsOnlyTheIconAndNothingWhileHidden) {
    core.Start();
    host.shell.flushes.clear();
    core.Menu().Item("mnuEnabled").Click();
    ASSERT_EQ(host.shell.flushes.size(), 1u);
    EXPECT_EQ(host.shell.flushes[0], core.Skin()->Chrome().IconBox.Bounds);

    host.shell.flushes.clear();
    host.shell.shown = false;
    core.Menu().Item("mnuEnabled").Click();
    EXPECT_TRUE(host.shell.flushes.empty());
}

// The skinned fader as the core drives it: it starts at the trackbar's value, writes every
// value of a drag into the trackbar and turns with the keyboard.
TEST_F(SkinnedCore, TheSkinnedFaderStartsAtTheTrackbarWritesItAndTurnsWithTheKeyboard) {
    host.shell.skins.Add("Zevizi", "FaderV.bmp", "16 x 14");
    host.shell.skins.Add("Zevizi", "FaderH BG.bmp", "8 x 20");
    host.shell.skins.Add("Zevizi", "FaderH.bmp", "14 x 16");
    core.Start();
    TFader& fader = core.Skin()->Chrome().Fader;
    ASSERT_TRUE(fader.Shown);
    EXPECT_TRUE(fader.IsVertical);

    host.fader = 127;
    SkinItem("Zevizi").Click(); // reapplied: the thumb goes to the trackbar's value
    EXPECT_EQ(fader.ThumbPos(), fader.Travel());

    // A drag from the bottom end 10 pixels up writes the value at once.
    const fw::PixelRect bounds = fader.Bounds;
    core.Skin()->Chrome().CtrlsList.DispatchMouseDown(bounds.left + 2, bounds.bottom - 3);
    ASSERT_EQ(core.Skin()->Chrome().CtrlsList.CapturedCtrl, &fader);
    fader.MouseMove(bounds.left + 2, bounds.bottom - 13);
    EXPECT_EQ(host.fader, fader.FaderValue());
    EXPECT_LT(host.fader, 127);
    fader.MouseUp(bounds.left + 2, bounds.bottom - 13);

    const int value = fader.FaderValue();
    core.Menu().Item("mnuVertical").Click();
    EXPECT_FALSE(fader.IsVertical) << "across the top of a vertical keyboard";
    EXPECT_EQ(fader.Bounds.top, 4 + 18);
    EXPECT_EQ(fader.FaderValue(), value) << "the value survives the turn";
}

// The one-pixel black line between the title and the keyboard, or between the fader strip
// and a vertical keyboard; its end column is left out.
TEST_F(SkinnedCore, ABlackLineRunsUnderTheTitleOrUnderTheFaderOfAVerticalKeyboard) {
    host.shell.skins.Add("Zevizi", "FaderH BG.bmp", "8 x 20");
    core.Start();
    for (bool vertical : {false, true}) {
        if (vertical) core.Menu().Item("mnuVertical").Click();
        const int width = host.ClientArea().width, lineY = 4 + 18 + (vertical ? 20 : 0);
        host.shell.Fill(0xFFFFFF);
        core.Paint();
        for (int x = 5; x < width - 5; ++x) EXPECT_EQ(host.shell.Pixel(x, lineY), 0u) << x;
        EXPECT_EQ(host.shell.Pixel(4, lineY), 0xFFFFFFu) << vertical;
        EXPECT_EQ(host.shell.Pixel(width - 5, lineY), 0xFFFFFFu) << vertical;
        EXPECT_EQ(host.shell.Pixel(10, lineY + 1), 0xFFFFFFu) << "the line is one pixel high";
    }
}

TEST_F(SkinnedCore, TheBlinkOfASkinWithoutAnIconDrawsNothing) {
    host.shell.skins.files.erase("Skins\\Zevizi\\Icon.bmp");
    core.Start();
    ASSERT_FALSE(core.Skin()->Chrome().IconBox.Shown);
    const int drawn = host.shell.backBuffers;
    core.Icons().Blink();
    EXPECT_EQ(host.shell.backBuffers, drawn) << "the hidden icon box is not painted";
}

// The trackbar holds the velocity while a windows-style skin shows it; a skinned fader
// shown afterwards starts at its value. Between two windows-style skins the key colours may
// change, so the window is repainted too.
TEST_F(SkinnedCore, ASwitchFromAWindowsStyleSkinPlacesTheFaderAtTheTrackbarAndRepaints) {
    host.shell.skins.Add("Plain2", "config.txt", "WindowsStyle=Yes\nWhiteKeyColor=250,250,200");
    core.Start();
    SkinItem("Plain").Click();
    const int invalidations = host.invalidations;
    SkinItem("Plain2").Click();
    EXPECT_GT(host.invalidations, invalidations);

    host.fader = 100; // moved on the trackbar
    SkinItem("Zevizi").Click();
    const TFader& fader = core.Skin()->Chrome().Fader;
    ASSERT_TRUE(fader.Shown);
    EXPECT_EQ(fader.FaderValue(), 100);
    EXPECT_EQ(fader.ThumbPos(), RoundHalfEven(100.0 / 127 * fader.Travel()));
}

// Sizes far outside any sane range are held to it before they are used: nothing overflows
// (the native build stops at the first overflow).
TEST_F(SkinnedCore, ExtremeSizesInASkinsSettingsAreHeldToASaneRange) {
    host.shell.skins.Add("Huge", "config.txt",
                         "WindowsStyle=No\nBorderSize=2000000000\nCornerArea=-2147483648\n"
                         "KeysOutlineWidth=2147483647\nFaderStyle=skin");
    host.shell.skins.Add("Wide", "config.txt", "WindowsStyle=Yes\nFaderWidth=-2147483648");
    core.Start();
    for (const char* skin : {"Huge", "Wide", "Huge"}) {
        SkinItem(skin).Click();
        core.Menu().Item("mnuVertical").Click();
        core.Paint();
        const TSkinConfig& config = core.State().SkinConfig;
        EXPECT_FALSE(BorderHitTest(2, 60, host.ClientArea(), config.InnerRect, config.CornerArea,
                                   config.BorderSize)
                         .edges.right)
            << skin << ": a press on the left border moves no right edge";
    }
}

} // namespace

} // namespace zevaver

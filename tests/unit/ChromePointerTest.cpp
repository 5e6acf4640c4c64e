// The pointer over a bitmap skin's window: the title drags it, the border resizes it (never
// below the minimum), presses on the keys are the keyboard's, and a press whose release is
// lost ends as if released outside.
#include "SkinTestSupport.h"
#include "mainwindow/ChromePointer.h"
#include "support/FakeAppHost.h"
#include "support/FakeFiles.h"
#include "support/FakeMidiOut.h"
#include "support/FakeRegistry.h"

#include <gtest/gtest.h>

namespace zevaver {

namespace {

using namespace skintest;

// A frameless window whose skin lives in memory, and what the pointer asked of it.
class PointerHost final : public fakes::FakeAppHost, public PointerWindow {
public:
    class Shell final : public SkinShell {
    public:
        explicit Shell(PointerHost& host) : host_(host) {}
        MemorySkins skins;
        bool FileExists(const std::string& p) override { return skins.FileExists(p); }
        bool FolderExists(const std::string& p) override { return skins.FolderExists(p); }
        std::optional<std::string> ReadFile(const std::string& p) override {
            return skins.ReadFile(p);
        }
        std::optional<std::vector<std::string>> SkinFolders() override {
            return skins.SkinFolders();
        }
        bool LoadBitmap(TSkinBitmap& b, const std::string& p) override {
            return skins.LoadBitmap(b, p);
        }
        void LoadSkinCursor(const std::string&) override {}
        void ReportError(const std::string&) override {}
        std::unique_ptr<TSkinBitmap> NewSkinBitmap() override {
            return std::make_unique<SizedBitmap>();
        }
        fw::PixelSurface* BackBuffer() override { return host_.BackBuffer(); }
        void FlushRect(const fw::PixelRect&) override {}
        void CopyScreenToBackBuffer() override {}
        fw::PixelRect WindowBounds() override { return host_.ScreenBounds(); }
        bool IsMainWindowActive() override { return true; }
        bool WindowShown() override { return true; }
        void PopupMenuAt(int, int) override { host_.holdsAtMenu = host_.holds; }
        void CloseMainWindow() override { ++host_.closes; }
        void MinimizeApplication() override {}
        void ApplyWindowLook(const TSkinConfig&, bool) override {}

    private:
        PointerHost& host_;
    };

    Shell shell{*this};
    int closes = 0;
    bool watching = false;
    int holds = 0, releases = 0, holdsAtMenu = -1;
    ResizeCursor cursor = ResizeCursor::Arrow;

    SkinShell* Skins() override { return &shell; }
    ClientSize ClientArea() override { return {bounds.width, bounds.height}; }
    fw::PixelRect ScreenBounds() override {
        return {bounds.left, bounds.top, bounds.left + bounds.width, bounds.top + bounds.height};
    }
    void MoveWindow(int left, int top) override {
        bounds.left = left;
        bounds.top = top;
    }
    void SizeWindow(const fw::PixelRect& b) override {
        bounds = {b.left, b.top, b.right - b.left, b.bottom - b.top};
    }
    void ShowCursor(ResizeCursor value) override { cursor = value; }
    void WatchPointer(bool on) override { watching = on; }
    bool Active() override { return true; }
    void HoldPointer() override { ++holds; }
    void ReleasePointer() override { ++releases; }
    bool BeginSystemMove() override {
        ++systemMoves;
        return compositor;
    }
    bool BeginSystemResize(const ResizeEdges& edges) override {
        systemEdges = edges;
        return compositor;
    }
    // A compositor that moves and sizes the window itself.
    bool compositor = false;
    int systemMoves = 0;
    ResizeEdges systemEdges;
};

class ChromePointerTest : public ::testing::Test {
protected:
    void SetUp() override {
        MemorySkins& skins = host.shell.skins;
        skins.Add("Zevizi", "config.txt", "WindowsStyle=No\nBorderSize=4\nCornerArea=16");
        for (const char* file :
             {"Title Active.bmp", "Title Inactive.bmp", "Title Box.bmp", "Icon.bmp",
              "Close Btn.bmp", "Close Btn Down.bmp", "Minimize Btn.bmp"})
            skins.Add("Zevizi", file, "18 x 18");
        core.Start();
        // Where the first run centred it does not matter: here it stands.
        host.bounds = {100, 200, 716, 140};
        core.Resized(host.ClientArea());
    }
    // A screen point for a client point.
    ScreenPoint At(int x, int y) const { return {host.bounds.left + x, host.bounds.top + y}; }

    PointerHost host;
    fakes::FakeMidiOut midi;
    fakes::FakeRegistry registry;
    fakes::FakeFiles files;
    AppCore core{host, midi, registry, files};
    ChromePointer pointer{host, core};
};

TEST_F(ChromePointerTest, TheTitleDragsTheWindowByThePointersTravelUntilTheRelease) {
    const fw::PixelRect title = core.Skin()->TitleDragArea();
    ASSERT_FALSE(fw::IsEmpty(title));
    const int x = title.left + 5, y = title.top + 5;
    ASSERT_TRUE(pointer.Press(x, y));
    ASSERT_TRUE(pointer.Move(x, y, {100 + x + 30, 200 + y - 50}, true));
    EXPECT_EQ(host.bounds, (WindowRect{130, 150, 716, 140}));
    ASSERT_TRUE(pointer.Release(x, y));
    (void)pointer.Move(x, y, At(x + 300, y), false);
    EXPECT_EQ(host.bounds.left, 130) << "no drag after the release";
}

TEST_F(ChromePointerTest, TheBorderResizesTheWindowAndStopsAtTheMinimumSize) {
    // The bottom-right corner.
    ASSERT_TRUE(pointer.Press(716 - 2, 140 - 2));
    EXPECT_EQ(host.cursor, ResizeCursor::NorthWestSE);
    ASSERT_TRUE(pointer.Move(0, 0, At(716 - 2 + 20, 140 - 2 + 10), true));
    EXPECT_EQ(host.bounds, (WindowRect{100, 200, 736, 150}));
    ASSERT_TRUE(pointer.Move(0, 0, {0, 0}, true));
    EXPECT_EQ(host.bounds, (WindowRect{100, 200, MinWindowWidth, MinWindowHeight}));
}

TEST_F(ChromePointerTest, WhereTheCompositorMovesAndSizesWindowsItTakesOverAtThePress) {
    host.compositor = true;
    const fw::PixelRect title = core.Skin()->TitleDragArea();
    ASSERT_TRUE(pointer.Press(title.left + 5, title.top + 5));
    EXPECT_EQ(host.systemMoves, 1);
    EXPECT_FALSE(pointer.Holding()) << "the compositor holds the pointer now";
    (void)pointer.Move(title.left + 5, title.top + 5, At(300, 300), true);
    EXPECT_EQ(host.bounds.left, 100) << "moved by the compositor, not here";
    ASSERT_TRUE(pointer.Press(716 - 2, 140 - 2));
    EXPECT_EQ(host.systemEdges, (ResizeEdges{false, false, true, true}));
    EXPECT_FALSE(pointer.Holding());
    EXPECT_FALSE(pointer.Press(core.Keys().Left() + 10, core.Keys().Top() + 10))
        << "the keys stay the keyboard's";
}

TEST_F(ChromePointerTest, PressesOnTheKeysAreTheKeyboardsAndALostReleaseEndsTheDrag) {
    EXPECT_FALSE(pointer.Press(core.Keys().Left() + 10, core.Keys().Top() + 10));
    const fw::PixelRect title = core.Skin()->TitleDragArea();
    ASSERT_TRUE(pointer.Press(title.left + 1, title.top + 1));
    // The button is up by the time the next move comes: the release went elsewhere.
    (void)pointer.Move(title.left + 1, title.top + 1, At(500, 500), false);
    EXPECT_FALSE(pointer.Holding());
    EXPECT_EQ(host.bounds.left, 100);
}

TEST_F(ChromePointerTest, APressedButtonIsWatchedOutsideAndClicksOnlyWhenReleasedOnIt) {
    const fw::PixelRect close = core.Skin()->Chrome().CloseBtn.Bounds;
    ASSERT_FALSE(fw::IsEmpty(close));
    ASSERT_TRUE(pointer.Press(close.left + 2, close.top + 2));
    EXPECT_TRUE(host.watching) << "the input thread follows the pointer now";
    pointer.WatchedRelease(At(close.left - 200, close.top));
    EXPECT_EQ(host.closes, 0) << "released away from it";
    EXPECT_FALSE(host.watching);
    ASSERT_TRUE(pointer.Release(close.left - 200, close.top));

    ASSERT_TRUE(pointer.Press(close.left + 2, close.top + 2));
    pointer.WatchedRelease(At(close.left + 3, close.top + 3));
    EXPECT_EQ(host.closes, 1);
}

TEST_F(ChromePointerTest, APressHoldsThePointerUntilItEndsAndGivesBackOnlyItsOwnHold) {
    const int keyX = core.Keys().Left() + 10, keyY = core.Keys().Top() + 10;
    EXPECT_FALSE(pointer.OwnsCursor(keyX, keyY)) << "the keys show the keyboard's cursor";
    const fw::PixelRect title = core.Skin()->TitleDragArea();
    ASSERT_TRUE(pointer.Press(title.left + 1, title.top + 1));
    EXPECT_EQ(host.holds, 1);
    EXPECT_TRUE(pointer.OwnsCursor(keyX, keyY)) << "a drag over the keys keeps its cursor";
    ASSERT_TRUE(pointer.Release(title.left + 1, title.top + 1));
    EXPECT_EQ(host.releases, 1);

    // Another window came to the front: the hold goes back once, and losing a hold the
    // keyboard had is not the chrome's to answer.
    ASSERT_TRUE(pointer.Press(title.left + 1, title.top + 1));
    pointer.LetGo();
    pointer.LetGo();
    EXPECT_EQ(host.releases, 2);

    // The icon's menu takes the pointer away, which must find the press already holding it.
    const fw::PixelRect icon = core.Skin()->Chrome().IconBox.Bounds;
    ASSERT_FALSE(fw::IsEmpty(icon));
    ASSERT_TRUE(pointer.Press(icon.left + 1, icon.top + 1));
    EXPECT_EQ(host.holdsAtMenu, 3);
}

} // namespace

} // namespace zevaver

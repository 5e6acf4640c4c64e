// The skinned chrome: border pieces, tiling, the controls' rectangles and painting, and
// how they take the pointer.
#include "SkinTestSupport.h"

#include <gtest/gtest.h>

namespace zevaver {

namespace {

using namespace skintest;

::testing::AssertionResult Drew(const DrawCall& call, const fw::PixelRect& source,
                                const fw::PixelRect& dest) {
    if (call.source == source && call.dest == dest) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure()
           << "drew (" << call.source.left << ',' << call.source.top << ")-(" << call.source.right
           << ',' << call.source.bottom << ") to (" << call.dest.left << ',' << call.dest.top
           << ")-(" << call.dest.right << ',' << call.dest.bottom << ')';
}

TEST(SkinBorder, ASmallBorderBitmapIsCutIntoEightPiecesAndStretched) {
    const auto pieces = BorderPieces(64, 48, 16, 716, 140);
    const BorderPiece expected[] = {
        {{0, 0, 16, 16}, {0, 0, 16, 16}},     {{48, 0, 64, 16}, {700, 0, 716, 16}},
        {{0, 32, 16, 48}, {0, 124, 16, 140}}, {{48, 32, 64, 48}, {700, 124, 716, 140}},
        {{0, 16, 16, 32}, {0, 16, 16, 124}},  {{48, 16, 64, 32}, {700, 16, 716, 124}},
        {{16, 0, 48, 16}, {16, 0, 700, 16}},  {{16, 32, 48, 48}, {16, 124, 700, 140}},
    };
    for (size_t i = 0; i < pieces.size(); ++i) EXPECT_EQ(pieces[i], expected[i]) << "piece " << i;

    RecordingChrome host;
    TSkinChrome chrome{host};
    chrome.DrawBorder(716, 140);
    EXPECT_TRUE(host.draws.empty()) << "an empty border draws nothing";
    SetSize(chrome.BorderBitmap, 64, 48, "Border.bmp");
    host.config.CornerSize = 16;
    chrome.DrawBorder(716, 140);
    ASSERT_EQ(host.draws.size(), 8u);
    EXPECT_TRUE(Drew(host.draws[4], {0, 16, 16, 32}, {0, 16, 16, 124}));
}

TEST(SkinTiling, WholeCopiesThenThePartThatFitsAtTheFarEnd) {
    RecordingChrome host;
    SizedBitmap bitmap;
    bitmap.width = 8;
    bitmap.height = 10;
    TileVertical(host, {3, 5, 11, 30}, bitmap);
    ASSERT_EQ(host.draws.size(), 3u);
    EXPECT_TRUE(Drew(host.draws[0], {0, 0, 8, 10}, {3, 5, 11, 15}));
    EXPECT_TRUE(Drew(host.draws[1], {0, 0, 8, 10}, {3, 15, 11, 25}));
    EXPECT_TRUE(Drew(host.draws[2], {0, 0, 8, 5}, {3, 25, 11, 30}));

    host.draws.clear();
    TileHorizontal(host, {0, 2, 20, 12}, bitmap);
    ASSERT_EQ(host.draws.size(), 3u);
    EXPECT_TRUE(Drew(host.draws[2], {0, 0, 4, 10}, {16, 2, 20, 12}));

    host.draws.clear();
    TileVertical(host, {0, 0, 8, 20}, SizedBitmap{});
    TileHorizontal(host, {0, 0, 20, 8}, SizedBitmap{});
    TileVertical(host, {0, 20, 8, 0}, bitmap);
    EXPECT_TRUE(host.draws.empty());
}

TEST(SkinTitle, TheTitleIsCutOffOrCentredOrStretched) {
    struct Case {
        bool stretch, center;
        fw::PixelRect bounds;
        int bitmapWidth, innerWidth;
        TitlePlacement expected;
    };
    // B = 4, IconWidth = 20, title 18 high.
    const Case cases[] = {
        // 120 wide in a 100-pixel box: the left 100 columns, unscaled.
        {false, false, {24, 4, 124, 22}, 120, 400, {{0, 0, 100, 18}, {24, 4, 124, 22}}},
        // Natural width from the box's left.
        {false, false, {24, 4, 300, 22}, 100, 400, {{0, 0, 100, 18}, {24, 4, 124, 22}}},
        // Centred in the inner width: 400 / 2 - 100 / 2 - 20 = 130 to the right.
        {false, true, {24, 4, 300, 22}, 100, 400, {{0, 0, 100, 18}, {154, 4, 254, 22}}},
        // A shift that would be negative leaves it where it is.
        {false, true, {24, 4, 300, 22}, 100, 100, {{0, 0, 100, 18}, {24, 4, 124, 22}}},
        {true, false, {24, 4, 300, 22}, 100, 400, {{0, 0, 100, 18}, {24, 4, 300, 22}}},
        {true, true, {24, 4, 300, 22}, 100, 400, {{0, 0, 100, 18}, {154, 4, 430, 22}}},
    };
    for (const Case& c : cases) {
        TSkinConfig config;
        config.BorderSize = 4;
        config.IconWidth = 20;
        config.StretchTitle = c.stretch;
        config.CenterTitle = c.center;
        EXPECT_EQ(PlaceTitle(config, c.bounds, c.bitmapWidth, 18, c.innerWidth), c.expected)
            << c.stretch << c.center << ' ' << c.bitmapWidth;
    }
}

class SkinCtrls : public ::testing::Test {
protected:
    RecordingChrome host;
    TSkinChrome chrome{host};

    void SetUp() override {
        TSkinConfig& c = host.config;
        c.WindowsStyle = false;
        c.BorderSize = 4;
        c.TitleHeight = 18;
        c.IconWidth = 24;
        c.CloseWidth = 20;
        c.MinimizeWidth = 16;
        c.InnerRect = {4, 4, 712, 136};
        SetSize(chrome.TitleBox.Bitmap, 100, 18, "Title Active.bmp");
        SetSize(chrome.TitleBox.InactiveBitmap, 100, 18, "Title Inactive.bmp");
        SetSize(chrome.TitleBox.BoxBitmap, 8, 18, "Title Box.bmp");
        SetSize(chrome.IconBox.Bitmap, 24, 18, "Icon.bmp");
        SetSize(chrome.IconBox.BlinkBitmap, 24, 18, "Icon Blink.bmp");
        SetSize(chrome.IconBox.DisabledBitmap, 24, 18, "Icon Disabled.bmp");
        SetSize(chrome.CloseBtn.Bitmap, 20, 18, "Close Btn.bmp");
        SetSize(chrome.CloseBtn.DownBitmap, 20, 18, "Close Btn Down.bmp");
        SetSize(chrome.MinimizeBtn.Bitmap, 16, 18, "Minimize Btn.bmp");
        SetSize(chrome.MinimizeBtn.DownBitmap, 16, 18, "Minimize Btn Down.bmp");
        chrome.CtrlsList.LayoutCtrls();
    }
    std::vector<std::string> DrawnFiles() const {
        std::vector<std::string> files;
        for (const DrawCall& call : host.draws) files.push_back(call.file);
        return files;
    }
};

TEST_F(SkinCtrls, EachControlTakesItsPlaceInTheTitleRow) {
    EXPECT_TRUE(chrome.TitleBox.Bounds == (fw::PixelRect{28, 4, 676, 22}));
    EXPECT_TRUE(chrome.IconBox.Bounds == (fw::PixelRect{4, 4, 22, 22})); // T x T, however wide
    EXPECT_TRUE(chrome.CloseBtn.Bounds == (fw::PixelRect{692, 4, 712, 22}));
    EXPECT_TRUE(chrome.MinimizeBtn.Bounds == (fw::PixelRect{676, 4, 692, 22}));

    // Without a minimise button the title reaches the close button.
    SetSize(chrome.MinimizeBtn.Bitmap, 0, 0);
    host.config.MinimizeWidth = 0;
    chrome.CtrlsList.DropEmptyCtrls();
    chrome.CtrlsList.LayoutCtrls();
    EXPECT_FALSE(chrome.MinimizeBtn.Shown);
    EXPECT_EQ(chrome.TitleBox.Bounds.right, chrome.CloseBtn.Bounds.left);
}

TEST_F(SkinCtrls, PaintingFollowsTheListAndTheState) {
    chrome.Fader.Hide();
    chrome.CtrlsList.PaintCtrls();
    EXPECT_EQ(DrawnFiles(),
              (std::vector<std::string>{"Title Box.bmp", "Title Active.bmp", "Icon.bmp",
                                        "Close Btn.bmp", "Minimize Btn.bmp"}));
    EXPECT_TRUE(Drew(host.draws[0], {0, 0, 8, 18}, {4, 4, 712, 22}))
        << "the bar spans the inner width";

    host.draws.clear();
    host.active = false;
    host.enabled = false;
    chrome.CloseBtn.Pressed = true;
    chrome.CtrlsList.PaintCtrls();
    EXPECT_EQ(DrawnFiles(),
              (std::vector<std::string>{"Title Box.bmp", "Title Inactive.bmp", "Icon Disabled.bmp",
                                        "Close Btn Down.bmp", "Minimize Btn.bmp"}));
    host.draws.clear();
    chrome.IconBox.Blinking = true;
    chrome.IconBox.Paint();
    EXPECT_EQ(DrawnFiles(), std::vector<std::string>{"Icon Blink.bmp"});
}

TEST_F(SkinCtrls, APressReachesEveryControlUnderThePoint) {
    // Make the close button overlap the minimise button's rectangle.
    chrome.CloseBtn.Bounds.left = 680;
    chrome.CtrlsList.DispatchMouseDown(685, 10);
    EXPECT_TRUE(chrome.MinimizeBtn.Pressed);
    EXPECT_TRUE(chrome.CloseBtn.Pressed);
    // Rectangles exclude their right and bottom edges.
    chrome.IconBox.Bounds = {4, 4, 22, 22};
    chrome.CtrlsList.DispatchMouseDown(22, 10);
    chrome.CtrlsList.DispatchMouseDown(10, 22);
    EXPECT_TRUE(host.actions.empty());
    chrome.CtrlsList.DispatchMouseDown(4, 4);
    EXPECT_EQ(host.actions, std::vector<std::string>{"popup 104,222"}); // under the icon
}

TEST_F(SkinCtrls, AButtonSpringsUpOutsideAndClicksOnlyWhenReleasedInside) {
    TCloseBtn& close = chrome.CloseBtn;
    close.MouseDown(700, 10);
    EXPECT_EQ(chrome.CtrlsList.CapturedCtrl, &close);
    EXPECT_TRUE(close.Pressed);
    close.MouseMove(600, 10);
    EXPECT_FALSE(close.Pressed);
    EXPECT_EQ(DrawnFiles(), (std::vector<std::string>{"Close Btn Down.bmp", "Close Btn.bmp"}));
    EXPECT_EQ(host.flushes.size(), 2u);
    EXPECT_TRUE(host.flushes[1] == close.Bounds) << "only its own rectangle is copied";
    close.MouseUp(600, 10);
    EXPECT_TRUE(host.actions.empty());
    EXPECT_EQ(chrome.CtrlsList.CapturedCtrl, nullptr);

    close.MouseDown(700, 10);
    close.MouseMove(600, 10);
    close.MouseMove(705, 20);
    EXPECT_TRUE(close.Pressed);
    close.MouseUp(705, 20);
    EXPECT_FALSE(close.Pressed);
    chrome.MinimizeBtn.MouseDown(680, 10);
    chrome.MinimizeBtn.MouseUp(680, 10);
    EXPECT_EQ(host.actions, (std::vector<std::string>{"close", "minimize"}));
    // A move after the release does nothing.
    host.draws.clear();
    close.MouseMove(700, 10);
    EXPECT_TRUE(host.draws.empty());
}

// The pointer lost before the release, or the control hidden: it lets go without a click.
TEST_F(SkinCtrls, AControlThatLosesThePointerOrIsHiddenLetsGoWithoutAClick) {
    chrome.CloseBtn.MouseDown(700, 10);
    chrome.CtrlsList.ReleaseCaptured();
    EXPECT_FALSE(chrome.CloseBtn.Pressed);
    chrome.CloseBtn.MouseUp(700, 10);
    EXPECT_TRUE(host.actions.empty()) << "no click";

    chrome.Fader.MouseDown(700, 30);
    chrome.Fader.Hide();
    EXPECT_EQ(chrome.CtrlsList.CapturedCtrl, nullptr);
    host.draws.clear();
    chrome.Fader.MouseMove(700, 80);
    EXPECT_TRUE(host.draws.empty()) << "a hidden fader follows no pointer";
}

} // namespace

namespace {

// A 3 x 2 bitmap stored bottom-up with its rows padded to 12 bytes; pixel (x, y) has blue
// x + 1 and green y + 1.
struct SmallBitmap {
    uint8_t bytes[24] = {};
    SmallBitmap() {
        for (int y = 0; y < 2; ++y)
            for (int x = 0; x < 3; ++x) {
                uint8_t* p = bytes + (1 - y) * 12 + x * 3;
                p[0] = static_cast<uint8_t>(x + 1);
                p[1] = static_cast<uint8_t>(y + 1);
                p[2] = 0x80;
            }
    }
    Pixels24 Pixels() const { return {bytes, 3, 2, 12, true}; }
};

constexpr uint32_t Px(int x, int y) {
    return 0x800000u | (static_cast<uint32_t>(y + 1) << 8) | static_cast<uint32_t>(x + 1);
}

TEST(SkinBlit, CopiesOpaqueStretchesByNearestPixelAndStaysInsideBothPictures) {
    const SmallBitmap bitmap;
    std::vector<uint32_t> pixels(8 * 4, 0);
    const fw::PixelSurface surface{pixels.data(), 8, 4, 8};
    const auto at = [&](int x, int y) { return pixels[static_cast<size_t>(y * 8 + x)]; };

    CopyStretched(surface, {1, 1, 4, 3}, bitmap.Pixels(), {0, 0, 3, 2});
    EXPECT_EQ(at(1, 1), Px(0, 0));
    EXPECT_EQ(at(3, 2), Px(2, 1));
    EXPECT_EQ(at(0, 0), 0u);

    // Twice as wide and high: each source pixel fills a 2 x 2 block.
    std::fill(pixels.begin(), pixels.end(), 0);
    CopyStretched(surface, {0, 0, 6, 4}, bitmap.Pixels(), {0, 0, 3, 2});
    EXPECT_EQ(at(1, 1), Px(0, 0));
    EXPECT_EQ(at(2, 1), Px(1, 0));
    EXPECT_EQ(at(5, 3), Px(2, 1));
    EXPECT_EQ(at(6, 0), 0u);

    // One column stretched over a row, and a source reaching past the bitmap.
    std::fill(pixels.begin(), pixels.end(), 0);
    CopyStretched(surface, {0, 0, 8, 1}, bitmap.Pixels(), {1, 0, 2, 1});
    EXPECT_EQ(at(0, 0), Px(1, 0));
    EXPECT_EQ(at(7, 0), Px(1, 0));
    CopyStretched(surface, {0, 2, 4, 3}, bitmap.Pixels(), {1, 1, 5, 2});
    EXPECT_EQ(at(1, 2), Px(2, 1));
    EXPECT_EQ(at(2, 2), 0u) << "nothing where the source lies outside the bitmap";
    // A source reaching past the bitmap's bottom (and top): those rows are not read.
    std::fill(pixels.begin(), pixels.end(), 0);
    CopyStretched(surface, {0, 0, 3, 4}, bitmap.Pixels(), {0, 0, 3, 4});
    EXPECT_EQ(at(0, 1), Px(0, 1));
    EXPECT_EQ(at(0, 2), 0u);
    EXPECT_EQ(at(2, 3), 0u);
    CopyStretched(surface, {4, 0, 7, 4}, bitmap.Pixels(), {0, -2, 3, 2});
    EXPECT_EQ(at(4, 1), 0u);
    EXPECT_EQ(at(4, 2), Px(0, 0));

    // Rectangles partly or wholly off the surface, or empty, are safe.
    CopyStretched(surface, {-5, -5, 100, 100}, bitmap.Pixels(), {0, 0, 3, 2});
    CopyStretched(surface, {4, 4, 2, 2}, bitmap.Pixels(), {0, 0, 3, 2});
    CopyStretched(surface, {0, 0, 4, 4}, bitmap.Pixels(), {3, 0, 0, 2});
    CopyStretched(surface, {0, 0, 4, 4}, Pixels24{}, {0, 0, 3, 2});
}

} // namespace

} // namespace zevaver

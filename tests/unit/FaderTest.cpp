// The skinned fader as a chrome control: it writes every value it takes into the
// trackbar, paints caps, track and thumb in that order, and copies only itself.
#include "SkinTestSupport.h"

#include <gtest/gtest.h>

namespace zevaver {

namespace {

using namespace skintest;

struct FaderSkin {
    RecordingChrome host;
    TSkinChrome chrome{host};
    TFader& fader = chrome.Fader;
    std::vector<int> trackbar; // every position written

    FaderSkin() {
        SetSize(fader.Bitmap, 20, 10, "FaderV BG");
        SetSize(fader.TrackHBitmap, 10, 20, "FaderH BG");
        SetSize(fader.ThumbVBitmap, 16, 14, "FaderV");
        SetSize(fader.ThumbVActiveBitmap, 16, 14, "FaderV Active");
        SetSize(fader.ThumbHBitmap, 14, 16, "FaderH");
        SetSize(fader.ThumbHActiveBitmap, 14, 16, "FaderH Active");
        SetSize(fader.CapTopBitmap, 20, 3, "Top");
        SetSize(fader.CapBottomBitmap, 20, 3, "Bottom");
        SetSize(fader.CapLeftBitmap, 3, 20, "Left");
        SetSize(fader.CapRightBitmap, 3, 20, "Right");
        host.config.WindowsStyle = false;
        host.config.BorderSize = 4;
        host.config.TitleHeight = 18;
        host.window = {100, 200, 816, 337}; // 716 x 137: a 110-pixel track, travel 96
        fader.OnChange = [this](int position) { trackbar.push_back(position); };
        fader.UpdateBounds();
    }
    std::vector<std::string> Drawn() const {
        std::vector<std::string> files;
        for (const DrawCall& call : host.draws) files.push_back(call.file);
        return files;
    }
};

TEST(Fader, ADragWritesEveryValueIntoTheTrackbarAndStopsAtTheBottomEnd) {
    FaderSkin skin;
    skin.fader.SetFaderValue(64);
    ASSERT_EQ(skin.fader.ThumbPos(), 48);
    skin.fader.MouseDown(700, 100); // on the track far below the thumb
    EXPECT_EQ(skin.chrome.CtrlsList.CapturedCtrl, &skin.fader);
    EXPECT_TRUE(skin.trackbar.empty()) << "the press alone changes nothing";
    skin.fader.MouseMove(700, 110);
    EXPECT_EQ(skin.fader.ThumbPos(), 58);
    skin.fader.MouseMove(700, 600);
    EXPECT_EQ(skin.trackbar, (std::vector<int>{77, 127})); // 76.7, then the end: velocity 0
    skin.fader.MouseUp(700, 600);
    EXPECT_EQ(skin.chrome.CtrlsList.CapturedCtrl, nullptr);
    skin.fader.MouseMove(700, 20);
    EXPECT_EQ(skin.trackbar.size(), 2u) << "no moves after the release";
}

TEST(Fader, PaintDrawsCapsTrackAndThumbWithTheActiveThumbWhileDragging) {
    FaderSkin skin;
    skin.fader.Paint();
    // 104 pixels between the caps: ten whole tiles and four rows of an eleventh.
    std::vector<std::string> expected{"Top", "Bottom"};
    for (int i = 0; i < 11; ++i) expected.push_back("FaderV BG");
    expected.push_back("FaderV");
    EXPECT_EQ(skin.Drawn(), expected);

    skin.host.draws.clear();
    skin.fader.MouseDown(700, 30);
    EXPECT_EQ(skin.Drawn().back(), "FaderV Active");
    ASSERT_EQ(skin.host.flushes.size(), 1u);
    EXPECT_TRUE(skin.host.flushes[0] == (fw::PixelRect{692, 23, 712, 133})) << "only itself";
    skin.host.draws.clear();
    skin.fader.MouseUp(700, 30);
    EXPECT_EQ(skin.Drawn().back(), "FaderV");
}

TEST(Fader, TurnedHorizontalItLiesUnderTheTitleWithTheSameValue) {
    FaderSkin skin;
    skin.fader.SetFaderValue(64);
    skin.fader.IsVertical = false;
    skin.host.window = {100, 200, 237, 916}; // 137 x 716
    skin.fader.UpdateBounds();
    EXPECT_TRUE(skin.fader.Bounds == (fw::PixelRect{5, 22, 133, 42}));
    EXPECT_EQ(skin.fader.FaderValue(), 64);
    skin.host.draws.clear();
    skin.fader.Paint();
    EXPECT_EQ(skin.Drawn().front(), "Left");
    EXPECT_EQ(skin.Drawn().back(), "FaderH");
    // The left end is the loudest: dragging far left writes 0.
    skin.fader.MouseDown(60, 30);
    skin.fader.MouseMove(-400, 30);
    EXPECT_EQ(skin.trackbar, std::vector<int>{0});
}

} // namespace

} // namespace zevaver

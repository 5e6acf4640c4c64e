// The display scale: lengths, pictures, the keyboard drawn and hit at 200 % as the 100 %
// picture with every pixel doubled, and the stored window read at another scale.
#include "framework/DpiScale.h"
#include "keyboard/KeyLabels.h"
#include "mainwindow/Geometry.h"
#include "mainwindow/StoredGeometry.h"
#include "mainwindow/WindowDrag.h"
#include "skin/Chrome.h"
#include "skin/PictureScaling.h"
#include "skin/SkinConfig.h"

#include "KeysTestSupport.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdint>
#include <vector>

namespace zevaver {

namespace {

using fw::DpiScale;
using keystest::RecordingHost;

TEST(DpiScale, RoundsEveryLengthToTheNearestPixelWithHalvesAwayFromZero) {
    const DpiScale s120(120), s144(144), s192(192);
    // 125 %: 1.25, 2.5 and 3.75 pixels.
    EXPECT_EQ(s120.Px(1), 1);
    EXPECT_EQ(s120.Px(2), 3);
    EXPECT_EQ(s120.Px(3), 4);
    EXPECT_EQ(s120.Px(-2), -3);
    // 150 %: 1.5 and 22.5 round up, the same amount below zero down.
    EXPECT_EQ(s144.Px(1), 2);
    EXPECT_EQ(s144.Px(15), 23);
    EXPECT_EQ(s144.Px(-15), -23);
    EXPECT_EQ(s192.Px(716), 1432);
    EXPECT_EQ(s144.ToBase(1074), 716);
    EXPECT_EQ(s144.ToBase(s144.Px(7)), 7);
    // The largest lengths saturate instead of wrapping.
    EXPECT_EQ(s192.Px(INT_MAX), INT_MAX);
    EXPECT_EQ(s192.Px(INT_MIN), INT_MIN);
    EXPECT_EQ(fw::RescaleLength(210, 144, 192), 280);
}

TEST(DpiScale, AOnePixelLineIsNeverThinnerThanAPixelAndNoScaleIsOutOfRange) {
    EXPECT_EQ(DpiScale(96).Unit(), 1);
    EXPECT_EQ(DpiScale(120).Unit(), 1);
    EXPECT_EQ(DpiScale(144).Unit(), 2);
    EXPECT_EQ(DpiScale(288).Unit(), 3);
    EXPECT_EQ(DpiScale(0).Dpi(), 96);
    EXPECT_EQ(DpiScale(-5).Dpi(), 96);
    EXPECT_EQ(DpiScale(10).Dpi(), fw::MinDpi);
    EXPECT_EQ(DpiScale(100000).Dpi(), fw::MaxDpi);
}

// A picture of three bytes a pixel, given top-down as rows of pixel values.
struct Picture {
    std::vector<uint8_t> bytes;
    int width = 0, height = 0;
    explicit Picture(const std::vector<std::vector<uint8_t>>& rows, bool bottomUp = false)
        : width(static_cast<int>(rows[0].size())), height(static_cast<int>(rows.size())) {
        for (int y = 0; y < height; ++y) {
            const auto& row = rows[static_cast<size_t>(bottomUp ? height - 1 - y : y)];
            for (uint8_t v : row) bytes.insert(bytes.end(), {v, v, v});
            bytes.resize(bytes.size() + (4 - (width * 3) % 4) % 4); // rows padded to four bytes
        }
        this->bottomUp = bottomUp;
    }
    [[nodiscard]] Pixels24 View() const {
        return {bytes.data(), width, height, (width * 3 + 3) / 4 * 4, bottomUp};
    }
    bool bottomUp = false;
};

std::vector<std::vector<uint8_t>> Grey(const ScaledPicture& scaled) {
    std::vector<std::vector<uint8_t>> rows;
    for (int y = 0; y < scaled.height; ++y) {
        rows.emplace_back();
        for (int x = 0; x < scaled.width; ++x) {
            const uint8_t* p = &scaled.bytes[static_cast<size_t>((y * scaled.width + x) * 3)];
            EXPECT_TRUE(p[0] == p[1] && p[1] == p[2]);
            rows.back().push_back(p[0]);
        }
    }
    return rows;
}

TEST(ScalePicture, AtWholeFactorsEveryPixelBecomesABlockOfItsOwnColour) {
    for (bool bottomUp : {false, true}) {
        const Picture picture({{10, 200, 30}, {40, 50, 255}}, bottomUp);
        EXPECT_EQ(Grey(ScalePicture(picture.View(), 6, 4)),
                  (std::vector<std::vector<uint8_t>>{{10, 10, 200, 200, 30, 30},
                                                     {10, 10, 200, 200, 30, 30},
                                                     {40, 40, 50, 50, 255, 255},
                                                     {40, 40, 50, 50, 255, 255}}));
        EXPECT_EQ(Grey(ScalePicture(picture.View(), 9, 2))[1],
                  (std::vector<uint8_t>{40, 40, 40, 50, 50, 50, 255, 255, 255}));
    }
}

// At 150 % a pixel of the picture covers one and a half of the result: of every three
// pixels, the middle one straddles two and takes half of each.
TEST(ScalePicture, AtOtherFactorsOnlyPixelsStraddlingAnEdgeMixTheirNeighbours) {
    const Picture line({{0, 255, 0, 0}});
    EXPECT_EQ(Grey(ScalePicture(line.View(), 6, 1))[0],
              (std::vector<uint8_t>{0, 128, 255, 0, 0, 0}));
    // Smaller: each pixel is the average of the two it covers.
    const Picture pairs({{0, 100, 200, 255}, {0, 100, 200, 255}});
    EXPECT_EQ(Grey(ScalePicture(pairs.View(), 2, 1))[0], (std::vector<uint8_t>{50, 228}));
    EXPECT_TRUE(ScalePicture(line.View(), 0, 5).bytes.empty());
    EXPECT_TRUE(ScalePicture({}, 4, 4).bytes.empty());
}

// A bitmap whose picture is a Picture above.
class PictureBitmap final : public TSkinBitmap {
public:
    explicit PictureBitmap(const Picture& picture) : picture_(picture) {}
    int PictureWidth() const noexcept override { return picture_.width; }
    int PictureHeight() const noexcept override { return picture_.height; }
    Pixels24 PicturePixels() const noexcept override { return picture_.View(); }
    void Replace(const Picture& picture) {
        picture_ = picture;
        PictureReplaced();
    }

private:
    Picture picture_;
};

TEST(SkinBitmap, IsDrawnAtItsScaleFromThePictureItselfEveryTime) {
    PictureBitmap bitmap(Picture({{10, 200, 30}}));
    EXPECT_EQ(bitmap.Width(), 3);
    EXPECT_EQ(bitmap.Pixels().bits, bitmap.PicturePixels().bits) << "at 96 DPI, the picture";
    bitmap.SetScale(DpiScale(144));
    EXPECT_EQ(bitmap.Width(), 5);
    EXPECT_EQ(bitmap.Height(), 2);
    bitmap.SetScale(DpiScale(192));
    ASSERT_EQ(bitmap.Width(), 6);
    // Not the 150 % copy scaled again: the picture's own pixels, doubled.
    const Pixels24 pixels = bitmap.Pixels();
    ASSERT_FALSE(pixels.bottomUp);
    EXPECT_EQ(pixels.bits[3 * 1], 10);
    EXPECT_EQ(pixels.bits[3 * 2], 200);
    bitmap.Replace(Picture(std::vector<std::vector<uint8_t>>{{77}}));
    EXPECT_EQ(bitmap.Width(), 2);
    EXPECT_EQ(bitmap.Pixels().bits[0], 77) << "a new picture is scaled anew";
}

TEST(ScaledConfig, ScalesTheLengthsAndLeavesProportionsAndColoursAlone) {
    TSkinConfig config;
    config.BorderSize = 4;
    config.CornerSize = 16;
    config.CornerArea = 15;
    config.FaderWidth = 24;
    config.KeysOutlineWidth = 1;
    config.TitleHeight = 20;
    config.CloseWidth = 22;
    config.BlackKeysHeight = 62;
    const TSkinConfig scaled = ScaledConfig(config, DpiScale(144));
    EXPECT_EQ(scaled.Scale, DpiScale(144));
    EXPECT_EQ(std::tie(scaled.BorderSize, scaled.CornerSize, scaled.CornerArea, scaled.FaderWidth,
                       scaled.KeysOutlineWidth, scaled.TitleHeight, scaled.CloseWidth),
              std::tuple(6, 24, 23, 36, 2, 30, 33));
    EXPECT_EQ(scaled.BlackKeysHeight, 62);
    EXPECT_EQ(scaled.WhiteKeyColorRef, config.WhiteKeyColorRef);
}

// --- The keyboard: at 200 % exactly the 100 % picture, every pixel doubled. ---

struct DrawnKeys {
    std::vector<uint32_t> pixels;
    int width;
};

DrawnKeys Draw(int dpi, TKeyboardOrientation orientation, int outline, int width, int height) {
    TSkinConfig skin;
    skin.KeysOutlineWidth = outline;
    skin.WhiteKeyColorRef = fw::RGBValue(250, 250, 250);
    skin.KeysOutlineColorRef = fw::RGBValue(100, 100, 100);
    skin = ScaledConfig(skin, DpiScale(dpi));
    RecordingHost host(width, height);
    TKeys keys(host, skin);
    keys.SetOrientation(orientation);
    keys.SetBounds(0, 0, width, height);
    keys.SetNoteWidth(13);
    TNoteSet down;
    for (int note : {24, 25, 31, 36}) down.Add(note);
    keys.ShowNotes(down);
    keys.Paint();
    return {host.Pixels(), width};
}

TEST(KeysAtTwiceTheScale, DrawTheKeyboardOfOneHundredPercentWithEveryPixelDoubled) {
    for (TKeyboardOrientation orientation :
         {TKeyboardOrientation::Horizontal, TKeyboardOrientation::Vertical}) {
        for (int outline : {1, 2, 3}) {
            const bool horizontal = orientation == TKeyboardOrientation::Horizontal;
            const int w = horizontal ? 150 : 40, h = horizontal ? 40 : 150;
            const DrawnKeys small = Draw(96, orientation, outline, w, h);
            const DrawnKeys large = Draw(192, orientation, outline, 2 * w, 2 * h);
            int differences = 0;
            for (int y = 0; y < 2 * h; ++y)
                for (int x = 0; x < 2 * w; ++x)
                    differences += large.pixels[static_cast<size_t>(y * 2 * w + x)] !=
                                   small.pixels[static_cast<size_t>(y / 2 * w + x / 2)];
            EXPECT_EQ(differences, 0)
                << (horizontal ? "horizontal" : "vertical") << ", outline " << outline;
        }
    }
}

TEST(KeysAtTwiceTheScale, NameTheNoteOfTheOneHundredPercentPixelAtEveryPointAndEveryEdge) {
    for (TKeyboardOrientation orientation :
         {TKeyboardOrientation::Horizontal, TKeyboardOrientation::Vertical}) {
        const bool horizontal = orientation == TKeyboardOrientation::Horizontal;
        const int w = horizontal ? 120 : 30, h = horizontal ? 30 : 120;
        TSkinConfig base, doubled = ScaledConfig(TSkinConfig{}, DpiScale(192));
        RecordingHost host;
        TKeys small(host, base), large(host, doubled);
        for (TKeys* keys : {&small, &large}) {
            keys->SetOrientation(orientation);
            keys->SetNoteWidth(14);
        }
        small.SetBounds(0, 0, w, h);
        large.SetBounds(0, 0, 2 * w, 2 * h);
        EXPECT_EQ(large.NoteWidth(), 28);
        int differences = 0;
        for (int y = 0; y < 2 * h; ++y)
            for (int x = 0; x < 2 * w; ++x)
                differences += large.NoteAt(x, y).Note != small.NoteAt(x / 2, y / 2).Note;
        EXPECT_EQ(differences, 0) << (horizontal ? "horizontal" : "vertical");
    }
}

TEST(KeysAtTwiceTheScale, NameTheirKeysInLettersAndMarkThemInFramesTwiceAsLarge) {
    const DpiScale s192(192);
    for (int zoom : {8, 16, 30, 60}) {
        EXPECT_EQ(PreferredLabelSize(2 * zoom, s192), 2 * PreferredLabelSize(zoom)) << zoom;
        EXPECT_EQ(MarkThickness(2 * zoom, s192), 2 * MarkThickness(zoom)) << zoom;
    }
}

// --- Chrome and layout at a scale. ---

TEST(LayoutAtAScale, KeepsTheFreeColumnAndRowAndTheTitleLineAPixelOfOneHundredPercent) {
    const FrameMetrics frame{false, 8, 40, 48, 2};
    // The 96-DPI window of border 4, title 20 and fader 24 doubled: its keyboard at (5, 25),
    // 683 x 110, its trackbar at (683, 25), 24 x 110.
    EXPECT_EQ(KeyboardRect(frame, {1432, 280}, false), (WindowRect{10, 50, 1366, 220}));
    EXPECT_EQ(TrackbarRect(frame, {1432, 280}, false), (WindowRect{1374, 50, 48, 220}));
    EXPECT_EQ(KeyboardRect(frame, {280, 1432}, true), (WindowRect{10, 98, 260, 1324}));

    TSkinConfig config = ScaledConfig(TSkinConfig{}, DpiScale(192));
    config.BorderSize = 8;
    config.TitleHeight = 40;
    const FrameFlush flush = FrameFlushRects(config, 1432, 280, false, 48);
    EXPECT_EQ(flush.strips[1], (fw::PixelRect{0, 8, 10, 272}));
    EXPECT_EQ(flush.strips[2], (fw::PixelRect{1420, 8, 1432, 272}));
    EXPECT_EQ(flush.strips[3], (fw::PixelRect{0, 270, 1432, 280}));
    EXPECT_EQ(flush.line, (fw::PixelRect{10, 48, 1422, 50}));
    EXPECT_EQ(MinimumWindowSize(DpiScale(144)), (ClientSize{150, 120}));
}

// --- The window: stored, turned and moved onto another screen. ---

// Stored at 150 %, the window is as large to the eye at 100 % and 200 %. An earlier version
// ran stretched at 96 DPI: its window of 716 x 140 at (300, -20) was 1074 x 210 at
// (450, -30) on a screen of 150 %.
TEST(StoredWindow, KeepsItsPlaceAndTheSizeOnTheScreenAsTheEyeSeesIt) {
    TSettings settings;
    settings.Left = 300;
    settings.Top = -20;
    settings.Width = 1074;
    settings.Height = 210;
    settings.Dpi = 144;
    const StoredWindow stored = StoredBounds(settings, 96);
    EXPECT_EQ(stored, (StoredWindow{{300, -20, 1074, 210}, 144}));
    EXPECT_EQ(AtDpi(stored, 96), (WindowRect{300, -20, 716, 140}));
    EXPECT_EQ(AtDpi(stored, 192), (WindowRect{300, -20, 1432, 280}));

    settings.Width = 716;
    settings.Height = 140;
    settings.Dpi = 0;
    const StoredWindow earlier = StoredBounds(settings, 144);
    EXPECT_EQ(earlier, (StoredWindow{{450, -30, 716, 140}, 96}));
    EXPECT_EQ(AtDpi(earlier, 144), (WindowRect{450, -30, 1074, 210}));
}

TEST(KeptInWorkArea, MovesTheWindowOntoTheAreaItLiesMostOnAndNoLargerThanIt) {
    const std::vector<fw::PixelRect> areas{{0, 0, 1920, 1040}, {1920, -200, 3200, 800}};
    const ClientSize minimum{100, 80};
    // Turned upright at y 430, 716 long: lifted until its bottom is the taskbar's top.
    EXPECT_EQ(KeptInWorkArea({300, 430, 140, 716}, areas, minimum),
              (WindowRect{300, 324, 140, 716}));
    // Too long for the area at 150 %: as long as the area.
    EXPECT_EQ(KeptInWorkArea({300, 430, 210, 1074}, areas, minimum),
              (WindowRect{300, 0, 210, 1040}));
    // Mostly on the second monitor, partly off its left and top: onto that one.
    EXPECT_EQ(KeptInWorkArea({1900, -250, 400, 100}, areas, minimum),
              (WindowRect{1920, -200, 400, 100}));
    // Off every monitor: the nearest area; and never below the minimum size.
    EXPECT_EQ(KeptInWorkArea({-5000, 100, 50, 50}, areas, minimum), (WindowRect{0, 100, 100, 80}));
    EXPECT_EQ(KeptInWorkArea({5, 6, 7, 8}, {}, minimum), (WindowRect{5, 6, 7, 8}));
}

// Dragged by the title from (50, 10) of the window at 96 DPI onto a screen of 192: the
// grabbed point is (100, 20) of the doubled window, and it stays under the pointer.
TEST(WindowDragAcrossScales, KeepsTheGrabbedPointUnderThePointerWithoutAJump) {
    WindowDrag drag;
    drag.TitleDown(40, 6, 10, 4);
    const WindowRect suggested{2000, 100, 1432, 280};
    const WindowRect bounds = drag.ScaleChanged(96, 192, suggested, {1990, 310});
    EXPECT_EQ(bounds, (WindowRect{1890, 290, 1432, 280}));
    ScreenPoint topLeft{};
    ASSERT_TRUE(drag.TitleMove({1995, 312}, topLeft));
    EXPECT_EQ(topLeft, (ScreenPoint{1895, 292})) << "the next move goes on from there";

    // A border drag takes the system's rectangle, and its grab offsets follow the scale.
    WindowDrag resize;
    resize.BorderDown({false, false, true, false}, 710, 70, 716, 140);
    EXPECT_EQ(resize.ScaleChanged(96, 144, suggested, {0, 0}), suggested);
    EXPECT_EQ(resize.GrabX(), -9);
    resize.SetMinimumSize({150, 120});
    fw::PixelRect moved{};
    ASSERT_TRUE(resize.BorderMove({0, 0, 1074, 210}, {50, 0}, moved));
    EXPECT_EQ(moved.right, 150) << "the minimum at 150 %";
}

} // namespace

} // namespace zevaver

#include "keyboard/Keys.h"

#include "KeysTestSupport.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

namespace zevaver {

namespace {

using fw::ColorRef;
using fw::RGBValue;
using keystest::BuiltInSkin;
using keystest::PresentedRect;
using keystest::RecordingHost;

using KeysPaint = BuiltInSkin;

constexpr uint32_t Background = 0x00ABCDEF;
constexpr ColorRef White = RGBValue(255, 255, 255);
constexpr ColorRef Black = RGBValue(0, 0, 0);
constexpr ColorRef WhiteDown = RGBValue(192, 192, 192);
constexpr ColorRef BlackDown = RGBValue(112, 112, 112);
constexpr ColorRef Outline = RGBValue(128, 128, 128);

// D and C sharp held down. Horizontal: the default 200 x 50 control, black keys 6 wide and
// 31 long, the C sharp at x 6..11. Vertical: the same stood upright, the lowest white key at
// y 189..199, its C sharp at y 187..192 and x 0..30. The control sits at (5, 3).
TEST_F(KeysPaint, DrawsWhiteBlackPressedKeysAndOutlinesInBothOrientations) {
    struct Case {
        TKeyboardOrientation orientation;
        const char* what;
        int x, y;
        ColorRef expected;
    };
    const Case cases[] = {
        {TKeyboardOrientation::Horizontal, "white key C", 5, 40, White},
        {TKeyboardOrientation::Horizontal, "pressed white key D", 15, 40, WhiteDown},
        {TKeyboardOrientation::Horizontal, "pressed black key C sharp", 8, 10, BlackDown},
        {TKeyboardOrientation::Horizontal, "black key D sharp", 21, 10, Black},
        {TKeyboardOrientation::Horizontal, "the outline shared by C and D", 10, 40, Outline},
        {TKeyboardOrientation::Horizontal, "the C sharp's left outline", 6, 10, Outline},
        {TKeyboardOrientation::Horizontal, "the C sharp's last row", 8, 30, Outline},
        {TKeyboardOrientation::Horizontal, "white below the black key", 8, 31, White},
        {TKeyboardOrientation::Horizontal, "E has no black key after it", 29, 10, White},
        {TKeyboardOrientation::Vertical, "white key C", 40, 195, White},
        {TKeyboardOrientation::Vertical, "the outline between C and D", 40, 189, Outline},
        {TKeyboardOrientation::Vertical, "pressed white key D", 40, 185, WhiteDown},
        {TKeyboardOrientation::Vertical, "pressed black key C sharp", 5, 190, BlackDown},
        {TKeyboardOrientation::Vertical, "black key D sharp", 5, 178, Black},
        {TKeyboardOrientation::Vertical, "the C sharp's top outline", 5, 187, Outline},
        {TKeyboardOrientation::Vertical, "the C sharp's bottom outline", 5, 192, Outline},
        {TKeyboardOrientation::Vertical, "the C sharp's far outline", 30, 190, Outline},
        {TKeyboardOrientation::Vertical, "white beside the black key", 31, 190, White},
        {TKeyboardOrientation::Vertical, "the control's left edge", 0, 195, Outline},
        {TKeyboardOrientation::Vertical, "the control's right edge", 49, 195, Outline},
        {TKeyboardOrientation::Vertical, "the control's bottom edge", 40, 199, Outline},
        {TKeyboardOrientation::Vertical, "the control's top edge", 40, 0, Outline},
    };
    for (TKeyboardOrientation orientation :
         {TKeyboardOrientation::Horizontal, TKeyboardOrientation::Vertical}) {
        RecordingHost host(220, 220, Background);
        TKeys keys(host, SkinConfig);
        keys.SetOrientation(orientation);
        const bool vertical = orientation == TKeyboardOrientation::Vertical;
        keys.SetBounds(5, 3, vertical ? 50 : 200, vertical ? 200 : 50);
        TNoteSet held;
        held.Add(38);
        held.Add(37);
        keys.ShowNotes(held);
        EXPECT_EQ(host.presented.back(), (PresentedRect{5, 3, keys.Width(), keys.Height()}));
        for (const Case& c : cases) {
            if (c.orientation != orientation) continue;
            EXPECT_EQ(host.Color(5 + c.x, 3 + c.y), c.expected)
                << static_cast<int>(orientation) << ": " << c.what;
        }
        keys.SetNoteWidth(2'000'000'000);
        keys.Paint();
        EXPECT_EQ(host.Color(5 + keys.Width() / 2, 3 + keys.Height() / 2), White)
            << static_cast<int>(orientation) << ": a huge key width draws one white key";
    }
}

TEST_F(KeysPaint, NeverDrawsOutsideTheControl) {
    for (TKeyboardOrientation orientation :
         {TKeyboardOrientation::Horizontal, TKeyboardOrientation::Vertical}) {
        RecordingHost host(260, 260, Background);
        TKeys keys(host, SkinConfig);
        keys.SetOrientation(orientation);
        // 195 is not a whole number of keys: the last black key reaches past the end.
        keys.SetBounds(5, 3, 195, 203);
        SkinConfig.KeysOutlineWidth = 3;
        keys.Paint();
        for (int y = 0; y < 260; ++y) {
            for (int x = 0; x < 260; ++x) {
                if (x >= 5 && x < 200 && y >= 3 && y < 206) continue;
                ASSERT_EQ(host.Pixels()[static_cast<size_t>(y * 260 + x)], Background)
                    << x << ", " << y;
            }
        }
    }
}

// Every key drawn whole, one rectangle after another, clipped to the control: how the
// horizontal keyboard must look however the control speeds its drawing up.
std::vector<uint32_t> DrawnKeyByKey(const TKeys& keys, int bufferWidth, int bufferHeight) {
    std::vector<uint32_t> pixels(static_cast<size_t>(bufferWidth) * bufferHeight, Background);
    const fw::PixelSurface surface{pixels.data(), bufferWidth, bufferHeight, bufferWidth};
    const fw::PixelRect bounds{keys.Left(), keys.Top(), keys.Left() + keys.Width(),
                               keys.Top() + keys.Height()};
    const fw::PixelRect clip = fw::Intersect(bounds, {0, 0, bufferWidth, bufferHeight});
    const TSkinConfig& SkinConfig = keys.Skin();
    const fw::OutlinePen pen{SkinConfig.KeysOutlineColorRef, SkinConfig.KeysOutlineWidth};
    const TKeyMetrics m = keys.GetMetrics();
    const int w = keys.NoteWidth();
    const auto key = [&](int x0, int x1, int depth, int note, ColorRef up, ColorRef down) {
        fw::Rectangle(surface, {keys.Left() + x0, keys.Top(), keys.Left() + x1, keys.Top() + depth},
                      pen, keys.DownNotes().Contains(note) ? down : up, clip);
    };
    for (int pass = 0; pass < 2; ++pass) {
        for (int k = 0; k * w < m.Length; ++k) {
            const int note = keys.BaseOctave() * 12 + 12 * (k / 7) + WhiteKeySemitones[k % 7];
            if (pass == 0) {
                key(k * w, (k + 1) * w + 1, m.Depth, note, SkinConfig.WhiteKeyColorRef,
                    SkinConfig.WhiteKeyDownColorRef);
            } else if (HasBlackKeyAfter(k % 7)) {
                const int x0 = (k + 1) * w - m.BlackWidth / 2 + BlackKeyOffsets[k % 7];
                key(x0, x0 + m.BlackWidth, m.BlackDepth, note + 1, SkinConfig.BlackKeyColorRef,
                    SkinConfig.BlackKeyDownColorRef);
            }
        }
    }
    fw::Rectangle(surface, bounds, pen, std::nullopt, clip);
    return pixels;
}

TEST_F(KeysPaint, DrawsAHorizontalKeyboardExactlyAsKeyByKeyDrawingWould) {
    struct Case {
        int noteWidth, outlineWidth, blackKeysHeight, left, top, width, height;
    };
    const Case cases[] = {
        {10, 1, 62, 5, 3, 200, 50},   {7, 1, 62, 0, 0, 230, 60},  {16, 2, 62, 4, 4, 211, 57},
        {1, 1, 62, 2, 2, 100, 40},    {2, 3, 100, 3, 1, 120, 33}, {13, 5, 30, 6, 6, 150, 45},
        {9, 4, 150, 1, 5, 180, 20},   {12, 1, 0, 0, 0, 240, 70},  {11, 3, 62, -17, -9, 260, 61},
        {20, 2, 62, 30, 40, 300, 90}, {8, 1, 62, 0, 0, 240, 1},   {8, 2, 62, 0, 0, 240, 2},
    };
    for (const Case& c : cases) {
        RecordingHost host(240, 70, Background);
        TKeys keys(host, SkinConfig);
        keys.SetBounds(c.left, c.top, c.width, c.height);
        keys.SetNoteWidth(c.noteWidth);
        SkinConfig = TSkinConfig{};
        SkinConfig.WhiteKeyColorRef = RGBValue(1, 2, 3);
        SkinConfig.BlackKeyColorRef = RGBValue(4, 5, 6);
        SkinConfig.KeysOutlineColorRef = RGBValue(7, 8, 9);
        SkinConfig.KeysOutlineWidth = c.outlineWidth;
        SkinConfig.BlackKeysHeight = c.blackKeysHeight;
        host.minimized = true; // draw once, below
        TNoteSet held;
        for (int note : {36, 37, 43, 46, 51, 58, 63}) held.Add(note);
        keys.ShowNotes(held);
        keys.Paint();
        EXPECT_EQ(host.Pixels(), DrawnKeyByKey(keys, 240, 70))
            << "key width " << c.noteWidth << ", outline " << c.outlineWidth << ", black keys "
            << c.blackKeysHeight << "%, bounds " << c.left << ", " << c.top << ", " << c.width
            << " x " << c.height;
    }
}

TEST_F(KeysPaint, DrawsAndPresentsNothingWithoutABackBufferOrArea) {
    RecordingHost noBuffer;
    TKeys keys(noBuffer, SkinConfig);
    keys.Paint();
    EXPECT_TRUE(noBuffer.presented.empty());

    RecordingHost host(50, 50, Background);
    TKeys empty(host, SkinConfig);
    for (const auto& [width, height] : {std::pair{0, 30}, std::pair{30, -4}}) {
        empty.SetBounds(5, 5, width, height);
        empty.Paint();
    }
    EXPECT_TRUE(host.presented.empty());
    EXPECT_EQ(host.Pixels(), std::vector<uint32_t>(50 * 50, Background));
}

} // namespace

} // namespace zevaver

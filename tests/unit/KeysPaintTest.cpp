#include "keyboard/Keys.h"

#include "KeysTestSupport.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

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
constexpr ColorRef Untouched = fw::ColorRefFromPixel(Background);

// The control sits at (5, 3) in the back buffer.
constexpr int Left = 5;
constexpr int Top = 3;

struct PixelCase {
    const char* what;
    int x, y; // control coordinates
    ColorRef expected;
};

void ExpectPixels(const RecordingHost& host, const std::vector<PixelCase>& cases,
                  const char* when) {
    for (const PixelCase& c : cases) {
        EXPECT_EQ(host.Color(Left + c.x, Top + c.y), c.expected) << when << ": " << c.what;
    }
}

// Default control, 200 x 50, key width 10: black keys 6 wide and 31 long; the C sharp
// spans x 6..11.
TEST_F(KeysPaint, DrawsAHorizontalKeyboardWithItsPressedKeys) {
    RecordingHost host(220, 60, Background);
    TKeys keys(host);
    keys.SetBounds(Left, Top, 200, 50);
    keys.Paint();
    ExpectPixels(host,
                 {
                     {"white key C", 5, 40, White},
                     {"white keys share their outline column", 10, 40, Outline},
                     {"the control's left edge", 0, 20, Outline},
                     {"the control's right edge", 199, 40, Outline},
                     {"the control's top edge", 100, 0, Outline},
                     {"the control's bottom edge", 100, 49, Outline},
                     {"black key C sharp", 8, 10, Black},
                     {"the C sharp's left outline", 6, 10, Outline},
                     {"the C sharp's right outline", 11, 10, Outline},
                     {"the C sharp's last row", 8, 30, Outline},
                     {"white below the black key", 8, 31, White},
                     {"white key D beside it", 12, 10, White},
                     {"E has no black key after it", 29, 10, White},
                 },
                 "nothing pressed");

    keys.PressNote(38, 100); // D
    keys.PressNote(37, 100); // C sharp
    ExpectPixels(host,
                 {
                     {"pressed white key D", 15, 40, WhiteDown},
                     {"pressed black key C sharp", 8, 10, BlackDown},
                     {"white key C stays up", 5, 40, White},
                     {"black key D sharp stays up", 21, 10, Black},
                 },
                 "D and C sharp pressed");
    EXPECT_EQ(host.presented.back(), (PresentedRect{Left, Top, 200, 50}));
}

TEST_F(KeysPaint, DrawsAVerticalKeyboardWithTheLowestKeyAtTheBottom) {
    RecordingHost host(70, 220, Background);
    TKeys keys(host);
    keys.SetOrientation(kbVertical);
    keys.SetBounds(Left, Top, 50, 200);
    keys.Paint();
    // The lowest white key spans y 189..199, its C sharp y 187..192 and x 0..30.
    ExpectPixels(host,
                 {
                     {"white key C", 40, 195, White},
                     {"the outline between C and D", 40, 189, Outline},
                     {"black key C sharp", 5, 190, Black},
                     {"the C sharp's top outline", 5, 187, Outline},
                     {"the C sharp's bottom outline", 5, 192, Outline},
                     {"the C sharp's far outline", 30, 190, Outline},
                     {"white beside the black key", 31, 190, White},
                     {"the control's left edge", 0, 195, Outline},
                     {"the control's right edge", 49, 195, Outline},
                     {"the control's bottom edge", 40, 199, Outline},
                     {"the control's top edge", 40, 0, Outline},
                 },
                 "nothing pressed");

    keys.PressNote(36, 100);
    keys.PressNote(37, 100);
    ExpectPixels(host,
                 {
                     {"pressed white key C", 40, 195, WhiteDown},
                     {"pressed black key C sharp", 5, 190, BlackDown},
                     {"white key D stays up", 40, 185, White},
                 },
                 "C and C sharp pressed");
}

TEST_F(KeysPaint, NeverDrawsOutsideTheControl) {
    for (TKeyboardOrientation orientation : {kbHorizontal, kbVertical}) {
        RecordingHost host(260, 260, Background);
        TKeys keys(host);
        keys.SetOrientation(orientation);
        // 195 is not a whole number of keys: the last black key reaches past the end.
        keys.SetBounds(Left, Top, 195, 203);
        SkinConfig.KeysOutlineWidth = 3;
        keys.Paint();
        for (int y = 0; y < 260; ++y) {
            for (int x = 0; x < 260; ++x) {
                const bool inside = x >= Left && x < Left + 195 && y >= Top && y < Top + 203;
                if (!inside) {
                    ASSERT_EQ(host.Pixel(x, y), Background) << x << ", " << y;
                }
            }
        }
    }
}

TEST_F(KeysPaint, DrawsTheCSharpOfKeyWidth16AtColumns11To19) {
    RecordingHost host(220, 110, Background);
    TKeys keys(host);
    keys.SetBounds(Left, Top, 200, 100);
    keys.SetNoteWidth(16);
    keys.Paint();
    ExpectPixels(host,
                 {
                     {"white key C before it", 10, 10, White},
                     {"left outline", 11, 10, Outline},
                     {"inside", 12, 10, Black},
                     {"over the white keys' shared outline", 16, 10, Black},
                     {"inside", 18, 10, Black},
                     {"right outline", 19, 10, Outline},
                     {"white key D after it", 20, 10, White},
                     {"its last row (62 pixels long)", 14, 61, Outline},
                     {"below it", 14, 62, White},
                 },
                 "key width 16");
}

TEST_F(KeysPaint, UsesTheSkinsColoursOutlineWidthAndBlackKeyLength) {
    RecordingHost host(220, 60, Background);
    TKeys keys(host);
    keys.SetBounds(Left, Top, 200, 50);
    SkinConfig.WhiteKeyColorRef = RGBValue(1, 2, 3);
    SkinConfig.BlackKeyColorRef = RGBValue(4, 5, 6);
    SkinConfig.KeysOutlineColorRef = RGBValue(7, 8, 9);
    SkinConfig.KeysOutlineWidth = 3;
    SkinConfig.BlackKeysHeight = 50;
    keys.Paint();
    ExpectPixels(host,
                 {
                     {"white key", 5, 40, RGBValue(1, 2, 3)},
                     {"a 3-pixel outline centred on column 10", 9, 40, RGBValue(7, 8, 9)},
                     {"a 3-pixel outline centred on column 10", 11, 40, RGBValue(7, 8, 9)},
                     {"white key D", 13, 40, RGBValue(1, 2, 3)},
                     {"black key", 8, 10, RGBValue(4, 5, 6)},
                     {"the black key's last row is 24", 8, 25, RGBValue(7, 8, 9)},
                     {"below the black key", 8, 26, RGBValue(1, 2, 3)},
                 },
                 "custom skin");
}

TEST_F(KeysPaint, DrawsOnlyThePartOfAControlThatLiesOnTheBackBuffer) {
    RecordingHost host(100, 30, Background);
    TKeys keys(host);
    keys.SetBounds(-50, -10, 200, 50);
    keys.Paint();
    EXPECT_EQ(host.Color(55, 25), White);   // control (105, 35)
    EXPECT_EQ(host.Color(90, 25), Outline); // control (140, 35)
    EXPECT_EQ(host.presented.back(), (PresentedRect{-50, -10, 200, 50}));
}

TEST_F(KeysPaint, DrawsOneWhiteKeyOverTheControlForAHugeKeyWidth) {
    RecordingHost host(220, 60, Background);
    TKeys keys(host);
    keys.SetBounds(Left, Top, 200, 50);
    keys.SetNoteWidth(2'000'000'000);
    keys.Paint();
    EXPECT_EQ(host.Color(Left + 100, Top + 10), White);
    EXPECT_EQ(host.Color(Left + 199, Top + 10), Outline);
}

// Every key drawn whole, one rectangle after another, clipped to the control: the plain way
// the horizontal keyboard must look however the control speeds its drawing up.
std::vector<uint32_t> DrawnKeyByKey(const TKeys& keys, int bufferWidth, int bufferHeight) {
    std::vector<uint32_t> pixels(static_cast<size_t>(bufferWidth) * bufferHeight, Background);
    const fw::PixelSurface surface{pixels.data(), bufferWidth, bufferHeight, bufferWidth};
    const fw::PixelRect bounds{keys.Left(), keys.Top(), keys.Left() + keys.Width(),
                               keys.Top() + keys.Height()};
    const fw::PixelRect clip = fw::Intersect(bounds, {0, 0, bufferWidth, bufferHeight});
    const fw::OutlinePen pen{SkinConfig.KeysOutlineColorRef, SkinConfig.KeysOutlineWidth};
    const TKeyMetrics m = keys.GetMetrics();
    const int w = keys.NoteWidth();
    const int half = m.BlackWidth / 2;
    const auto note = [&](int k) {
        return keys.BaseOctave() * 12 + 12 * (k / 7) + WhiteKeySemitones[k % 7];
    };
    const auto key = [&](int x0, int x1, int depth, ColorRef color) {
        fw::Rectangle(surface, {keys.Left() + x0, keys.Top(), keys.Left() + x1, keys.Top() + depth},
                      pen, color, clip);
    };
    for (int k = 0; k * w < m.Length; ++k) {
        key(k * w, (k + 1) * w + 1, m.Depth,
            keys.DownNotes().Contains(note(k)) ? SkinConfig.WhiteKeyDownColorRef
                                               : SkinConfig.WhiteKeyColorRef);
    }
    for (int k = 0; k * w < m.Length; ++k) {
        if (!HasBlackKeyAfter(k % 7)) continue;
        const int x0 = (k + 1) * w - half + BlackKeyOffsets[k % 7];
        key(x0, x0 + m.BlackWidth, m.BlackDepth,
            keys.DownNotes().Contains(note(k) + 1) ? SkinConfig.BlackKeyDownColorRef
                                                   : SkinConfig.BlackKeyColorRef);
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
        constexpr int BufferWidth = 240;
        constexpr int BufferHeight = 70;
        RecordingHost host(BufferWidth, BufferHeight, Background);
        TKeys keys(host);
        keys.SetBounds(c.left, c.top, c.width, c.height);
        keys.SetNoteWidth(c.noteWidth);
        SkinConfig.KeysOutlineWidth = c.outlineWidth;
        SkinConfig.BlackKeysHeight = c.blackKeysHeight;
        host.minimized = true; // draw once, below
        for (int note : {36, 37, 43, 46, 51, 58, 63}) keys.PressNote(note, 1);
        keys.Paint();
        EXPECT_EQ(host.Pixels(), DrawnKeyByKey(keys, BufferWidth, BufferHeight))
            << "key width " << c.noteWidth << ", outline " << c.outlineWidth << ", black keys "
            << c.blackKeysHeight << "%, bounds " << c.left << ", " << c.top << ", " << c.width
            << " x " << c.height;
    }
}

TEST_F(KeysPaint, DrawsAndPresentsNothingWithoutABackBufferOrArea) {
    RecordingHost noBuffer;
    TKeys keys(noBuffer);
    keys.Paint();
    EXPECT_TRUE(noBuffer.presented.empty());

    RecordingHost host(50, 50, Background);
    TKeys empty(host);
    empty.SetBounds(5, 5, 0, 30);
    empty.Paint();
    empty.SetBounds(5, 5, 30, -4);
    empty.Paint();
    EXPECT_TRUE(host.presented.empty());
    EXPECT_EQ(host.Pixels(), std::vector<uint32_t>(50 * 50, Background));
}

} // namespace

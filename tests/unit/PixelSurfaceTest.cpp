#include "framework/PixelSurface.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdint>
#include <string>
#include <vector>

namespace {

using fw::ColorRef;
using fw::OutlinePen;
using fw::PixelRect;
using fw::RGBValue;

constexpr ColorRef Ink = RGBValue(10, 20, 30);
constexpr ColorRef Paper = RGBValue(200, 100, 50);
constexpr uint32_t Background = 0x00777777;
constexpr uint32_t Guard = 0x00DEAD00;

// A surface in the middle of a larger buffer whose rim must never be written, drawn as
// text: '.' untouched, 'o' pen, '#' brush.
class GuardedCanvas {
public:
    GuardedCanvas(int width, int height)
        : stride_(width + 2 * Rim),
          buffer_(static_cast<size_t>(stride_) * (height + 2 * Rim), Guard) {
        surface = {buffer_.data() + Rim * stride_ + Rim, width, height, stride_};
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < width; ++x) At(x, y) = Background;
        }
    }

    [[nodiscard]] std::string Picture() const {
        std::string text;
        for (int y = 0; y < surface.height; ++y) {
            for (int x = 0; x < surface.width; ++x) {
                const uint32_t pixel = surface.pixels[y * surface.stride + x];
                text += pixel == fw::PixelFromColorRef(Ink)     ? 'o'
                        : pixel == fw::PixelFromColorRef(Paper) ? '#'
                        : pixel == Background                   ? '.'
                                                                : '?';
            }
            text += '\n';
        }
        return text;
    }

    [[nodiscard]] bool RimUntouched() const {
        for (int y = 0; y < surface.height + 2 * Rim; ++y) {
            for (int x = 0; x < stride_; ++x) {
                const bool inside =
                    x >= Rim && x < Rim + surface.width && y >= Rim && y < Rim + surface.height;
                if (!inside && buffer_[static_cast<size_t>(y) * stride_ + x] != Guard) return false;
            }
        }
        return true;
    }

    fw::PixelSurface surface;

private:
    static constexpr int Rim = 3;
    uint32_t& At(int x, int y) { return surface.pixels[y * surface.stride + x]; }

    int stride_;
    std::vector<uint32_t> buffer_;
};

std::string Lines(std::initializer_list<const char*> rows) {
    std::string text;
    for (const char* row : rows) text += std::string(row) + '\n';
    return text;
}

TEST(ColorValues, EachPartIsCutToItsLowEightBitsAndLaidOutBlueGreenRed) {
    struct Case {
        int r, g, b;
        ColorRef expected;
    };
    const Case cases[] = {
        {255, 255, 255, 0x00FFFFFF}, {0, 0, 0, 0x00000000},       {1, 2, 3, 0x00030201},
        {300, -1, 256, 0x0000FF2C},  {192, 192, 192, 0x00C0C0C0}, {-256, 511, 0, 0x0000FF00},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(RGBValue(c.r, c.g, c.b), c.expected) << c.r << ", " << c.g << ", " << c.b;
    }
}

TEST(ColorValues, APixelHoldsTheSameColourWithRedAndBlueSwapped) {
    EXPECT_EQ(fw::PixelFromColorRef(RGBValue(0x12, 0x34, 0x56)), 0x00123456u);
    EXPECT_EQ(fw::ColorRefFromPixel(0x00123456u), RGBValue(0x12, 0x34, 0x56));
    EXPECT_EQ(fw::ColorRefFromPixel(fw::PixelFromColorRef(0x00ABCDEFu)), 0x00ABCDEFu);
}

TEST(RectangleDrawing, OutlinesTheOutermostPixelsAndFillsTheInside) {
    GuardedCanvas canvas(8, 6);
    fw::Rectangle(canvas.surface, {1, 1, 6, 5}, OutlinePen{Ink, 1}, Paper);
    EXPECT_EQ(canvas.Picture(), Lines({"........", //
                                       ".ooooo..", //
                                       ".o###o..", //
                                       ".o###o..", //
                                       ".ooooo..", //
                                       "........"}));
}

TEST(RectangleDrawing, WithoutABrushLeavesTheInsideAsItWas) {
    GuardedCanvas canvas(6, 5);
    fw::Rectangle(canvas.surface, {0, 0, 5, 4}, OutlinePen{Ink, 1}, std::nullopt);
    EXPECT_EQ(canvas.Picture(), Lines({"ooooo.", //
                                       "o...o.", //
                                       "o...o.", //
                                       "ooooo.", //
                                       "......"}));
}

TEST(RectangleDrawing, PutsSwappedEdgesInOrder) {
    GuardedCanvas straight(8, 6);
    GuardedCanvas swapped(8, 6);
    fw::Rectangle(straight.surface, {1, 1, 6, 5}, OutlinePen{Ink, 1}, Paper);
    fw::Rectangle(swapped.surface, {6, 5, 1, 1}, OutlinePen{Ink, 1}, Paper);
    EXPECT_EQ(swapped.Picture(), straight.Picture());
}

TEST(RectangleDrawing, CentresAWidePenOnTheOutlineLeaningUpAndLeftForEvenWidths) {
    GuardedCanvas odd(10, 10);
    fw::Rectangle(odd.surface, {2, 2, 8, 8}, OutlinePen{Ink, 3}, Paper);
    EXPECT_EQ(odd.Picture(), Lines({"..........", //
                                    ".oooooooo.", //
                                    ".oooooooo.", //
                                    ".oooooooo.", //
                                    ".ooo##ooo.", //
                                    ".ooo##ooo.", //
                                    ".oooooooo.", //
                                    ".oooooooo.", //
                                    ".oooooooo.", //
                                    ".........."}));

    GuardedCanvas even(10, 10);
    fw::Rectangle(even.surface, {2, 2, 8, 8}, OutlinePen{Ink, 2}, Paper);
    EXPECT_EQ(even.Picture(), Lines({"..........", //
                                     ".ooooooo..", //
                                     ".ooooooo..", //
                                     ".oo###oo..", //
                                     ".oo###oo..", //
                                     ".oo###oo..", //
                                     ".ooooooo..", //
                                     ".ooooooo..", //
                                     "..........", //
                                     ".........."}));
}

TEST(RectangleDrawing, DrawsAPenWidthOfZeroOrLessOnePixelWide) {
    for (int width : {0, -4}) {
        GuardedCanvas canvas(5, 4);
        fw::Rectangle(canvas.surface, {0, 0, 4, 4}, OutlinePen{Ink, width}, Paper);
        EXPECT_EQ(canvas.Picture(), Lines({"oooo.", "o##o.", "o##o.", "oooo."})) << width;
    }
}

TEST(RectangleDrawing, DrawsNothingForAnEmptyRectangle) {
    GuardedCanvas canvas(4, 3);
    const std::string blank = canvas.Picture();
    for (const PixelRect& rect : {PixelRect{1, 1, 1, 3}, PixelRect{0, 2, 4, 2}}) {
        fw::Rectangle(canvas.surface, rect, OutlinePen{Ink, 1}, Paper);
        EXPECT_EQ(canvas.Picture(), blank);
    }
}

TEST(RectangleDrawing, WritesOnlyInsideTheClipRectangle) {
    GuardedCanvas canvas(8, 6);
    fw::Rectangle(canvas.surface, {1, 1, 6, 5}, OutlinePen{Ink, 1}, Paper, PixelRect{3, 0, 8, 3});
    EXPECT_EQ(canvas.Picture(), Lines({"........", //
                                       "...ooo..", //
                                       "...##o..", //
                                       "........", //
                                       "........", //
                                       "........"}));
}

TEST(RectangleDrawing, NeverWritesOutsideTheSurfaceWhateverTheCoordinates) {
    struct Case {
        const char* what;
        PixelRect rect;
        int penWidth;
        PixelRect clip;
    };
    const PixelRect everything{INT_MIN, INT_MIN, INT_MAX, INT_MAX};
    const Case cases[] = {
        {"the whole number range", everything, 1, everything},
        {"the whole range with the widest pen", everything, INT_MAX, everything},
        {"a rectangle over the edges", {-2, -2, 12, 9}, 3, everything},
        {"a rectangle far away", {INT_MAX - 5, INT_MIN, INT_MAX, INT_MIN + 5}, INT_MAX, everything},
        {"the widest pen on a small rectangle", {2, 2, 4, 4}, INT_MAX, everything},
        {"a clip larger than the surface", {-1, -1, 20, 20}, 2, {-100, -100, 100, 100}},
    };
    for (const Case& c : cases) {
        GuardedCanvas canvas(7, 5);
        fw::Rectangle(canvas.surface, c.rect, OutlinePen{Ink, c.penWidth}, Paper, c.clip);
        EXPECT_TRUE(canvas.RimUntouched()) << c.what;
    }
}

TEST(RectangleDrawing, FillsTheWholeSurfaceWhenTheOutlineLiesOutsideIt) {
    GuardedCanvas canvas(4, 2);
    fw::Rectangle(canvas.surface, {INT_MIN, INT_MIN, INT_MAX, INT_MAX}, OutlinePen{Ink, 1}, Paper);
    EXPECT_EQ(canvas.Picture(), Lines({"####", "####"}));
}

TEST(RectangleDrawing, IgnoresASurfaceThatCannotBeWrittenSafely) {
    std::vector<uint32_t> pixels(16, Background);
    const fw::PixelSurface unusable[] = {
        {nullptr, 4, 4, 4},       // no pixels
        {pixels.data(), 4, 4, 3}, // rows would overlap
        {pixels.data(), 0, 4, 4}, // no area
        {pixels.data(), 4, -1, 4},
    };
    for (const fw::PixelSurface& surface : unusable) {
        EXPECT_FALSE(fw::IsDrawable(surface));
        fw::Rectangle(surface, {0, 0, 4, 4}, OutlinePen{Ink, 1}, Paper);
        fw::FillRect(surface, {0, 0, 4, 4}, Paper);
    }
    EXPECT_EQ(pixels, std::vector<uint32_t>(16, Background));
}

TEST(FillRectangle, FillsOnlyThePartOnTheSurface) {
    GuardedCanvas canvas(5, 3);
    fw::FillRect(canvas.surface, {3, -10, 50, 2}, Paper);
    EXPECT_EQ(canvas.Picture(), Lines({"...##", "...##", "....."}));
    EXPECT_TRUE(canvas.RimUntouched());
}

} // namespace

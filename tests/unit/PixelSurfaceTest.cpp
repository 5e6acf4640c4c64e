#include "framework/PixelSurface.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace zevaver {

namespace {

using fw::OutlinePen;
using fw::PixelRect;
using fw::RGBValue;

constexpr fw::ColorRef Ink = RGBValue(10, 20, 30);
constexpr fw::ColorRef Paper = RGBValue(200, 100, 50);
constexpr uint32_t Background = 0x00777777;
constexpr uint32_t Guard = 0x00DEAD00;
constexpr PixelRect Everything{INT_MIN, INT_MIN, INT_MAX, INT_MAX};

// A surface inside a larger buffer whose rim of 3 pixels must never be written, read back
// as text: '.' untouched, 'o' pen, '#' brush.
struct GuardedCanvas {
    GuardedCanvas(int width, int height)
        : buffer(static_cast<size_t>((width + 6) * (height + 6)), Guard),
          surface{buffer.data() + 3 * (width + 6) + 3, width, height, width + 6} {
        for (int y = 0; y < height; ++y) std::fill_n(Row(y), width, Background);
    }

    [[nodiscard]] std::string Drawn() const {
        std::string rows;
        for (int y = 0; y < surface.height; ++y) {
            if (y > 0) rows += ' ';
            for (int x = 0; x < surface.width; ++x) {
                const uint32_t pixel = Row(y)[x];
                rows += pixel == fw::PixelFromColorRef(Ink)     ? 'o'
                        : pixel == fw::PixelFromColorRef(Paper) ? '#'
                        : pixel == Background                   ? '.'
                                                                : '?';
            }
        }
        return rows;
    }

    [[nodiscard]] bool RimUntouched() const {
        size_t guards = 0;
        for (uint32_t pixel : buffer) guards += pixel == Guard;
        return guards == buffer.size() - static_cast<size_t>(surface.width * surface.height);
    }
    [[nodiscard]] uint32_t* Row(int y) const { return surface.pixels + y * surface.stride; }

    std::vector<uint32_t> buffer;
    fw::PixelSurface surface;
};

TEST(ColorValues, PartsAreCutToEightBitsAndLaidOutBlueGreenRedWhileAPixelSwapsRedAndBlue) {
    EXPECT_EQ(RGBValue(1, 2, 3), 0x00030201u);
    EXPECT_EQ(RGBValue(300, -1, 256), 0x0000FF2Cu);
    EXPECT_EQ(fw::PixelFromColorRef(RGBValue(0x12, 0x34, 0x56)), 0x00123456u);
    EXPECT_EQ(fw::ColorRefFromPixel(0x00123456u), RGBValue(0x12, 0x34, 0x56));
}

TEST(RectangleDrawing, OutlinesWithTheCentredPenFillsTheInsideAndNeverWritesOutside) {
    struct Case {
        const char* what;
        PixelRect rect;
        int pen;
        bool brush;
        PixelRect clip;
        std::string expected; // rows of the surface, separated by spaces
    };
    // clang-format off
    const Case cases[] = {
        {"a one-pixel pen", {1, 1, 6, 5}, 1, true, Everything,
         "........ .ooooo.. .o###o.. .o###o.. .ooooo.. ........"},
        {"swapped edges", {6, 5, 1, 1}, 1, true, Everything,
         "........ .ooooo.. .o###o.. .o###o.. .ooooo.. ........"},
        {"no brush", {0, 0, 5, 4}, 1, false, Everything, "ooooo. o...o. o...o. ooooo. ......"},
        {"an odd pen width is centred", {2, 2, 8, 8}, 3, true, Everything,
         ".......... .oooooooo. .oooooooo. .oooooooo. .ooo##ooo. "
         ".ooo##ooo. .oooooooo. .oooooooo. .oooooooo. .........."},
        {"an even pen width leans up and left", {2, 2, 8, 8}, 2, true, Everything,
         ".......... .ooooooo.. .ooooooo.. .oo###oo.. .oo###oo.. "
         ".oo###oo.. .ooooooo.. .ooooooo.. .......... .........."},
        {"pen width 0", {0, 0, 4, 4}, 0, true, Everything, "oooo. o##o. o##o. oooo."},
        {"pen width -4", {0, 0, 4, 4}, -4, true, Everything, "oooo. o##o. o##o. oooo."},
        {"no width", {1, 1, 1, 3}, 1, true, Everything, ".... .... ...."},
        {"no height", {0, 2, 4, 2}, 1, true, Everything, ".... .... ...."},
        {"a clip", {1, 1, 6, 5}, 1, true, {3, 0, 8, 3},
         "........ ...ooo.. ...##o.. ........ ........ ........"},
        {"an outline outside the surface", Everything, 1, true, Everything, "#### ####"},
        {"the widest pen on the outline outside", Everything, INT_MAX, true, Everything, "### ###"},
        {"a wide pen outside the surface", {-2, -2, 12, 9}, 3, true, Everything, "### ###"},
        {"a rectangle far away", {INT_MAX - 5, INT_MIN, INT_MAX, INT_MIN + 5}, INT_MAX, true,
         Everything, "... ..."},
        {"the widest pen on a small rectangle", {0, 0, 1, 1}, INT_MAX, true, Everything, "ooo ooo"},
        {"a clip larger than the surface", {-1, -1, 20, 20}, 2, true, {-99, -99, 99, 99}, "### ###"},
    };
    // clang-format on
    for (const Case& c : cases) {
        const auto width = c.expected.find(' ');
        GuardedCanvas canvas(
            static_cast<int>(width),
            static_cast<int>(std::count(c.expected.begin(), c.expected.end(), ' ') + 1));
        fw::Rectangle(canvas.surface, c.rect, OutlinePen{Ink, c.pen},
                      c.brush ? std::optional(Paper) : std::nullopt, c.clip);
        EXPECT_EQ(canvas.Drawn(), c.expected) << c.what;
        EXPECT_TRUE(canvas.RimUntouched()) << c.what;
    }
}

TEST(FillRectangle, FillsOnlyThePartOnTheSurface) {
    GuardedCanvas canvas(5, 3);
    fw::FillRect(canvas.surface, {3, -10, 50, 2}, Paper);
    EXPECT_EQ(canvas.Drawn(), "...## ...## .....");
    EXPECT_TRUE(canvas.RimUntouched());
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

} // namespace

} // namespace zevaver

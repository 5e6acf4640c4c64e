// A view of a 32-bit top-down pixel buffer laid out the way a Windows DIB section is
// (pixel value 0x00RRGGBB, rows `stride` pixels apart), and the few drawing operations
// that our own controls need. Drawing here instead of through GDI lets the keyboard
// repaint hundreds of keys with a handful of row fills.
#pragma once

#include <climits>
#include <cstdint>
#include <limits>
#include <optional>
#include <vector>

namespace zevaver {

namespace fw {

// The platform's colour value: 0x00BBGGRR.
using ColorRef = uint32_t;

// Each part is cut to its low 8 bits, so 300 gives 44 and -1 gives 255.
[[nodiscard]] constexpr ColorRef RGBValue(int r, int g, int b) noexcept {
    return (static_cast<uint32_t>(r) & 0xFFu) | ((static_cast<uint32_t>(g) & 0xFFu) << 8) |
           ((static_cast<uint32_t>(b) & 0xFFu) << 16);
}

// A colour value and a DIB pixel hold the same three bytes with red and blue swapped.
[[nodiscard]] constexpr uint32_t PixelFromColorRef(ColorRef color) noexcept {
    return ((color & 0xFFu) << 16) | (color & 0xFF00u) | ((color >> 16) & 0xFFu);
}
[[nodiscard]] constexpr ColorRef ColorRefFromPixel(uint32_t pixel) noexcept {
    return PixelFromColorRef(pixel);
}

// Coordinates worked out in 64 bits come back into the int range this way; drawing clips
// them anyway, so the saturated value draws the same.
[[nodiscard]] constexpr int ClampToInt(int64_t value) noexcept {
    if (value < std::numeric_limits<int>::min()) return std::numeric_limits<int>::min();
    if (value > std::numeric_limits<int>::max()) return std::numeric_limits<int>::max();
    return static_cast<int>(value);
}

struct PixelSurface {
    uint32_t* pixels = nullptr;
    int width = 0;
    int height = 0;
    int stride = 0; // in pixels
};

// False for a surface that cannot be written safely: no pixels, no area, or rows that
// overlap because the stride is shorter than a row.
[[nodiscard]] bool IsDrawable(const PixelSurface& surface) noexcept;

// Left and top included, right and bottom excluded.
struct PixelRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
    friend bool operator==(const PixelRect&, const PixelRect&) = default;
};

// A rectangle that holds every point: "no clipping".
inline constexpr PixelRect EverywhereRect{INT_MIN, INT_MIN, INT_MAX, INT_MAX};

[[nodiscard]] PixelRect Intersect(const PixelRect& a, const PixelRect& b) noexcept;
[[nodiscard]] bool IsEmpty(const PixelRect& rect) noexcept;
[[nodiscard]] constexpr bool PointIn(const PixelRect& rect, int x, int y) noexcept {
    return x >= rect.left && x < rect.right && y >= rect.top && y < rect.bottom;
}
// Whether an area overlaps any of the rectangles (monitors, say). Its edges come in 64
// bits: stored positions may be anything, and their sums must not overflow.
[[nodiscard]] bool OverlapsAny(int64_t left, int64_t top, int64_t right, int64_t bottom,
                               const std::vector<PixelRect>& rects) noexcept;

struct OutlinePen {
    ColorRef color = 0;
    int width = 1; // 0 or less draws a one-pixel outline, as GDI does for width 0
};

// Fills the rectangle, clipped to the surface. Any coordinates are safe.
void FillRect(const PixelSurface& surface, const PixelRect& rect, ColorRef color) noexcept;

// Draws like GDI's Rectangle: fills the rectangle with the brush (none: the inside is left
// as it is), then outlines it with the pen along its outermost rows and columns (right - 1,
// bottom - 1). A wider pen is centred on those lines, an even width leaning up and left,
// so neighbouring rectangles that share an edge column share one outline. Swapped edges are
// put in order; an empty rectangle draws nothing. Nothing is written outside `clip` or the
// surface, whatever the coordinates.
void Rectangle(const PixelSurface& surface, const PixelRect& rect, const OutlinePen& pen,
               std::optional<ColorRef> brush, const PixelRect& clip) noexcept;
void Rectangle(const PixelSurface& surface, const PixelRect& rect, const OutlinePen& pen,
               std::optional<ColorRef> brush) noexcept;

} // namespace fw

} // namespace zevaver

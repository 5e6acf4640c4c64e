#include "skin/GraphicUtils.h"

#include <algorithm>
#include <cstddef>

namespace zevaver {

void TChromeCanvas::DrawAt(const TSkinBitmap& bitmap, int x, int y) {
    const int w = bitmap.Width(), h = bitmap.Height();
    Draw(bitmap, {0, 0, w, h}, {x, y, x + w, y + h});
}

std::array<BorderPiece, 8> BorderPieces(int BW, int BH, int C, int W, int H) noexcept {
    return {{
        {{0, 0, C, C}, {0, 0, C, C}},                     // top-left corner
        {{BW - C, 0, BW, C}, {W - C, 0, W, C}},           // top-right corner
        {{0, BH - C, C, BH}, {0, H - C, C, H}},           // bottom-left corner
        {{BW - C, BH - C, BW, BH}, {W - C, H - C, W, H}}, // bottom-right corner
        {{0, C, C, BH - C}, {0, C, C, H - C}},            // left edge
        {{BW - C, C, BW, BH - C}, {W - C, C, W, H - C}},  // right edge
        {{C, 0, BW - C, C}, {C, 0, W - C, C}},            // top edge
        {{C, BH - C, BW - C, BH}, {C, H - C, W - C, H}},  // bottom edge
    }};
}

void TileVertical(TChromeCanvas& canvas, const fw::PixelRect& rect, const TSkinBitmap& bitmap) {
    const int w = bitmap.Width(), h = bitmap.Height();
    if (h <= 0) return;
    const int height = rect.bottom - rect.top;
    if (height <= 0) return;
    const int whole = height / h, rest = height % h;
    for (int i = 0; i < whole; ++i) canvas.DrawAt(bitmap, rect.left, rect.top + i * h);
    if (rest != 0)
        canvas.Draw(bitmap, {0, 0, w, rest},
                    {rect.left, rect.bottom - rest, rect.left + w, rect.bottom});
}

void TileHorizontal(TChromeCanvas& canvas, const fw::PixelRect& rect, const TSkinBitmap& bitmap) {
    const int w = bitmap.Width(), h = bitmap.Height();
    if (w <= 0) return;
    const int width = rect.right - rect.left;
    if (width <= 0) return;
    const int whole = width / w, rest = width % w;
    for (int i = 0; i < whole; ++i) canvas.DrawAt(bitmap, rect.left + i * w, rect.top);
    if (rest != 0)
        canvas.Draw(bitmap, {0, 0, rest, h},
                    {rect.right - rest, rect.top, rect.right, rect.top + h});
}

void CopyStretched(const fw::PixelSurface& surface, const fw::PixelRect& dest,
                   const Pixels24& bitmap, const fw::PixelRect& source) noexcept {
    if (!fw::IsDrawable(surface) || !bitmap.bits || bitmap.width <= 0 || bitmap.height <= 0) return;
    const int64_t dw = int64_t{dest.right} - dest.left, dh = int64_t{dest.bottom} - dest.top;
    const int64_t sw = int64_t{source.right} - source.left;
    const int64_t sh = int64_t{source.bottom} - source.top;
    if (dw <= 0 || dh <= 0 || sw <= 0 || sh <= 0) return;
    const int64_t x0 = std::max<int64_t>(dest.left, 0);
    const int64_t x1 = std::min<int64_t>(dest.right, surface.width);
    const int64_t y0 = std::max<int64_t>(dest.top, 0);
    const int64_t y1 = std::min<int64_t>(dest.bottom, surface.height);
    if (x0 >= x1) return;
    // The source column of the first drawn pixel, then stepped along without a division
    // per pixel: sx = source.left + (x - dest.left) * sw / dw.
    const int64_t firstNumerator = (x0 - dest.left) * sw;
    const int64_t stepWhole = sw / dw, stepRest = sw % dw;
    for (int64_t y = y0; y < y1; ++y) {
        const int64_t sy = source.top + (y - dest.top) * sh / dh;
        if (sy < 0 || sy >= bitmap.height) continue;
        const int64_t row = bitmap.bottomUp ? bitmap.height - 1 - sy : sy;
        const uint8_t* from = bitmap.bits + static_cast<std::ptrdiff_t>(row * bitmap.stride);
        uint32_t* to = surface.pixels + static_cast<std::ptrdiff_t>(y * surface.stride);
        int64_t sx = source.left + firstNumerator / dw, rest = firstNumerator % dw;
        for (int64_t x = x0; x < x1; ++x) {
            if (sx >= 0 && sx < bitmap.width) {
                const uint8_t* p = from + sx * 3;
                to[x] = uint32_t{p[0]} | (uint32_t{p[1]} << 8) | (uint32_t{p[2]} << 16);
            }
            sx += stepWhole;
            rest += stepRest;
            if (rest >= dw) {
                rest -= dw;
                ++sx;
            }
        }
    }
}

} // namespace zevaver

#include "skin/GraphicUtils.h"

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

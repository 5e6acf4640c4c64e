#include "skin/GraphicUtils.h"

#include <algorithm>
#include <cstddef>
#include <vector>

namespace zevaver {

bool TSkinBitmap::DrawnScaled() const noexcept {
    if (scale_.IsBase()) return false;
    const int64_t width = scale_.Px(PictureWidth()), height = scale_.Px(PictureHeight());
    return width > 0 && height > 0 && width * height <= MaxScaledPicturePixels;
}

int TSkinBitmap::Width() const noexcept {
    return DrawnScaled() ? scale_.Px(PictureWidth()) : PictureWidth();
}

int TSkinBitmap::Height() const noexcept {
    return DrawnScaled() ? scale_.Px(PictureHeight()) : PictureHeight();
}

Pixels24 TSkinBitmap::Pixels() const noexcept {
    if (!DrawnScaled()) return PicturePixels();
    if (!scaled_) {
        try {
            scaled_ = ScalePicture(PicturePixels(), Width(), Height());
        } catch (...) {
            return {}; // no memory for the copy: nothing is drawn, as for a picture not read
        }
    }
    return scaled_->View();
}

void TSkinBitmap::SetScale(const fw::DpiScale& scale) noexcept {
    if (scale == scale_) return;
    scale_ = scale;
    scaled_.reset();
}

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

namespace {

uint32_t Pixel24(const uint8_t* p) noexcept {
    return uint32_t{p[0]} | (uint32_t{p[1]} << 8) | (uint32_t{p[2]} << 16);
}

} // namespace

// A window's chrome is a few hundred of these per frame, mostly unstretched tiles and
// edges stretched along their length, so the columns are worked out once per call and
// each row is a straight run.
void CopyStretched(const fw::PixelSurface& surface, const fw::PixelRect& dest,
                   const Pixels24& bitmap, const fw::PixelRect& source,
                   const fw::PixelRect& clip) noexcept {
    if (!fw::IsDrawable(surface) || !bitmap.bits || bitmap.width <= 0 || bitmap.height <= 0) return;
    const int64_t dw = int64_t{dest.right} - dest.left, dh = int64_t{dest.bottom} - dest.top;
    const int64_t sw = int64_t{source.right} - source.left;
    const int64_t sh = int64_t{source.bottom} - source.top;
    if (dw <= 0 || dh <= 0 || sw <= 0 || sh <= 0) return;
    int64_t x0 = std::max<int64_t>({dest.left, clip.left, 0});
    int64_t x1 = std::min<int64_t>({dest.right, clip.right, surface.width});
    const int64_t y0 = std::max<int64_t>({dest.top, clip.top, 0});
    const int64_t y1 = std::min<int64_t>({dest.bottom, clip.bottom, surface.height});
    if (x0 >= x1 || y0 >= y1) return;
    // The source column of a drawn pixel: source.left + (x - dest.left) * sw / dw. It only
    // grows along the row, so the columns that fall inside the bitmap are one run.
    const auto column = [&](int64_t x) { return source.left + (x - dest.left) * sw / dw; };
    while (x0 < x1 && column(x0) < 0) ++x0;
    while (x1 > x0 && column(x1 - 1) >= bitmap.width) --x1;
    if (x0 >= x1) return;
    const bool stretched = sw != dw;
    std::vector<uint32_t> offsets;
    if (stretched) {
        offsets.resize(static_cast<size_t>(x1 - x0));
        // Stepped along without a division per pixel.
        const int64_t stepWhole = sw / dw, stepRest = sw % dw;
        int64_t sx = column(x0), rest = (x0 - dest.left) * sw % dw;
        for (uint32_t& offset : offsets) {
            offset = static_cast<uint32_t>(sx * 3);
            sx += stepWhole;
            rest += stepRest;
            if (rest >= dw) {
                rest -= dw;
                ++sx;
            }
        }
    }
    const int64_t first = column(x0) * 3;
    for (int64_t y = y0; y < y1; ++y) {
        const int64_t sy = source.top + (sh == dh ? y - dest.top : (y - dest.top) * sh / dh);
        if (sy < 0 || sy >= bitmap.height) continue;
        const int64_t row = bitmap.bottomUp ? bitmap.height - 1 - sy : sy;
        const uint8_t* from = bitmap.bits + static_cast<std::ptrdiff_t>(row * bitmap.stride);
        uint32_t* to = surface.pixels + static_cast<std::ptrdiff_t>(y * surface.stride + x0);
        if (stretched) {
            for (const uint32_t offset : offsets) *to++ = Pixel24(from + offset);
        } else {
            const uint8_t* p = from + first;
            for (int64_t x = x0; x < x1; ++x, p += 3) *to++ = Pixel24(p);
        }
    }
}

} // namespace zevaver

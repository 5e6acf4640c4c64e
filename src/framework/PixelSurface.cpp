#include "framework/PixelSurface.h"

#include <algorithm>
#include <cstddef>

namespace zevaver {

namespace fw {

namespace {

// Edges widened to 64 bits, so a pen spread or a swap never overflows whatever the caller
// passes.
struct Box {
    int64_t left;
    int64_t top;
    int64_t right;
    int64_t bottom;
};

Box Widen(const PixelRect& rect) noexcept {
    return {rect.left, rect.top, rect.right, rect.bottom};
}

Box Clipped(const Box& a, const Box& b) noexcept {
    return {std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
            std::min(a.bottom, b.bottom)};
}

// `area` lies within the surface already.
void FillBox(const PixelSurface& surface, const Box& area, const Box& box,
             uint32_t pixel) noexcept {
    const Box inside = Clipped(area, box);
    if (inside.left >= inside.right || inside.top >= inside.bottom) return;
    const auto count = static_cast<std::ptrdiff_t>(inside.right - inside.left);
    for (int64_t y = inside.top; y < inside.bottom; ++y) {
        uint32_t* row = surface.pixels + static_cast<std::ptrdiff_t>(y) * surface.stride;
        std::fill_n(row + inside.left, count, pixel);
    }
}

Box DrawableArea(const PixelSurface& surface, const PixelRect& clip) noexcept {
    return Clipped(Box{0, 0, surface.width, surface.height}, Widen(clip));
}

} // namespace

bool IsDrawable(const PixelSurface& surface) noexcept {
    return surface.pixels != nullptr && surface.width > 0 && surface.height > 0 &&
           surface.stride >= surface.width;
}

PixelRect Intersect(const PixelRect& a, const PixelRect& b) noexcept {
    return {std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
            std::min(a.bottom, b.bottom)};
}

bool IsEmpty(const PixelRect& rect) noexcept {
    return rect.left >= rect.right || rect.top >= rect.bottom;
}

bool OverlapsAny(int64_t left, int64_t top, int64_t right, int64_t bottom,
                 const std::vector<PixelRect>& rects) noexcept {
    return std::any_of(rects.begin(), rects.end(), [&](const PixelRect& r) {
        return left < r.right && r.left < right && top < r.bottom && r.top < bottom;
    });
}

void FillRect(const PixelSurface& surface, const PixelRect& rect, ColorRef color) noexcept {
    if (!IsDrawable(surface)) return;
    const PixelRect whole{0, 0, surface.width, surface.height};
    FillBox(surface, DrawableArea(surface, whole), Widen(rect), PixelFromColorRef(color));
}

void Rectangle(const PixelSurface& surface, const PixelRect& rect, const OutlinePen& pen,
               std::optional<ColorRef> brush, const PixelRect& clip) noexcept {
    if (!IsDrawable(surface)) return;
    const Box area = DrawableArea(surface, clip);
    if (area.left >= area.right || area.top >= area.bottom) return;

    Box box = Widen(rect);
    if (box.right < box.left) std::swap(box.left, box.right);
    if (box.bottom < box.top) std::swap(box.top, box.bottom);
    if (box.left == box.right || box.top == box.bottom) return;

    if (brush) FillBox(surface, area, box, PixelFromColorRef(*brush));

    // The outline runs along the outermost pixels; a band of `width` pixels is centred on
    // each of those lines.
    const int64_t width = std::max(pen.width, 1);
    const int64_t before = width / 2;
    const int64_t outerLeft = box.left - before;
    const int64_t outerTop = box.top - before;
    const int64_t outerRight = box.right - 1 - before + width;
    const int64_t outerBottom = box.bottom - 1 - before + width;
    const uint32_t pixel = PixelFromColorRef(pen.color);
    FillBox(surface, area, {outerLeft, outerTop, outerRight, outerTop + width}, pixel);
    FillBox(surface, area, {outerLeft, outerBottom - width, outerRight, outerBottom}, pixel);
    FillBox(surface, area, {outerLeft, outerTop, outerLeft + width, outerBottom}, pixel);
    FillBox(surface, area, {outerRight - width, outerTop, outerRight, outerBottom}, pixel);
}

void Rectangle(const PixelSurface& surface, const PixelRect& rect, const OutlinePen& pen,
               std::optional<ColorRef> brush) noexcept {
    Rectangle(surface, rect, pen, brush, PixelRect{0, 0, surface.width, surface.height});
}

} // namespace fw

} // namespace zevaver

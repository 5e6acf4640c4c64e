// Drawing of the keyboard control. All key arithmetic runs in 64 bits: the key width and
// the bounds come from stored settings and window sizes, and a huge value must clip, not
// overflow.
#include "keyboard/Keys.h"

#include "framework/PixelSurface.h"
#include "skin/SkinConfig.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <optional>

namespace zevaver {

namespace {

// Everything one repaint needs, in control coordinates unless said otherwise.
struct KeyDrawing {
    const fw::PixelSurface& surface;
    fw::PixelRect clip; // the control's rectangle within the surface, back-buffer coordinates
    int64_t originX;    // the control's position in the back buffer
    int64_t originY;
    fw::OutlinePen pen;
    TKeyboardOrientation orientation;
    TKeyMetrics metrics;
    int64_t noteWidth;
    int64_t baseOctave;
    const TNoteSet& downNotes;
    const TSkinConfig& skin;
    std::array<int, 7> offsets{}; // the black keys' shifts, as drawn
    // White keys that can touch the visible part: from `firstKey` while k x noteWidth stays
    // below `alongLimit`.
    int64_t firstKey = 0;
    int64_t alongLimit = 0;

    // A key's area [x0, x1) x [y0, y1), control coordinates; its outline runs along the
    // area's outermost pixels (the scaled one-pixel line, metrics.Unit wide). At 96 DPI the
    // area is the very rectangle GDI would be given.
    [[nodiscard]] fw::PixelRect Outlined(int64_t x0, int64_t y0, int64_t x1,
                                         int64_t y1) const noexcept {
        const int64_t lean = metrics.Lean, end = 1 - metrics.Unit + lean;
        return {fw::ClampToInt(originX + x0 + lean), fw::ClampToInt(originY + y0 + lean),
                fw::ClampToInt(originX + x1 + end), fw::ClampToInt(originY + y1 + end)};
    }
    void Key(int64_t x0, int64_t y0, int64_t x1, int64_t y1, fw::ColorRef fill) const noexcept {
        fw::Rectangle(surface, Outlined(x0, y0, x1, y1), pen, fill, clip);
    }
    [[nodiscard]] int64_t BlackOffset(int64_t k) const noexcept {
        return offsets[static_cast<size_t>(k % 7)];
    }

    [[nodiscard]] int64_t WhiteNote(int64_t k) const noexcept {
        return baseOctave * 12 + 12 * (k / 7) + WhiteKeySemitones[static_cast<size_t>(k % 7)];
    }
    [[nodiscard]] fw::ColorRef WhiteColor(int64_t note) const noexcept {
        return downNotes.Contains(note) ? skin.WhiteKeyDownColorRef : skin.WhiteKeyColorRef;
    }
    [[nodiscard]] fw::ColorRef BlackColor(int64_t note) const noexcept {
        return downNotes.Contains(note) ? skin.BlackKeyDownColorRef : skin.BlackKeyColorRef;
    }
};

// Limits the key loops to the keys that can reach the visible part of the keyboard, so the
// cost follows the pixels shown, not the width of a control that sticks out of the buffer.
void LimitToVisibleKeys(KeyDrawing& drawing) noexcept {
    const bool horizontal = drawing.orientation == TKeyboardOrientation::Horizontal;
    // The visible part along the keyboard, [from, to).
    int64_t from = 0;
    int64_t to = 0;
    if (horizontal) {
        from = drawing.clip.left - drawing.originX;
        to = drawing.clip.right - drawing.originX;
    } else {
        // Along runs upwards from the bottom edge.
        from = drawing.metrics.Length - (drawing.clip.bottom - drawing.originY);
        to = drawing.metrics.Length - (drawing.clip.top - drawing.originY);
    }
    // A white key and the black key after it lie within one extra key width and the pen of
    // the key's own span.
    const int64_t margin = drawing.noteWidth + std::max(drawing.pen.width, 1) + 2;
    drawing.firstKey = std::max<int64_t>(0, (from - margin) / drawing.noteWidth - 1);
    drawing.alongLimit = to + margin;
}

void DrawHorizontal(const KeyDrawing& d) noexcept {
    const int64_t length = d.metrics.Length;
    const int64_t half = d.metrics.Half, unit = d.metrics.Unit;
    const auto drawn = [&](int64_t k) {
        return k * d.noteWidth < length && k * d.noteWidth < d.alongLimit;
    };
    // Neighbouring white keys share their outline column.
    for (int64_t k = d.firstKey; drawn(k); ++k) {
        d.Key(k * d.noteWidth, 0, (k + 1) * d.noteWidth + unit, d.metrics.Depth,
              d.WhiteColor(d.WhiteNote(k)));
    }
    // The black key after the last white key is drawn too; the clip cuts it at the end.
    for (int64_t k = d.firstKey; drawn(k); ++k) {
        const int position = static_cast<int>(k % 7);
        if (!HasBlackKeyAfter(position)) continue;
        const int64_t x0 = (k + 1) * d.noteWidth - half + d.BlackOffset(k);
        d.Key(x0, 0, x0 + d.metrics.BlackWidth, d.metrics.BlackDepth,
              d.BlackColor(d.WhiteNote(k) + 1));
    }
}

void DrawVertical(const KeyDrawing& d, int64_t width) noexcept {
    const int64_t half = d.metrics.Half, unit = d.metrics.Unit;
    // The lowest key sits at the bottom; y0 is the top edge of white key k.
    const auto top = [&](int64_t k) {
        return d.metrics.Length - d.noteWidth - unit - k * d.noteWidth;
    };
    const auto drawn = [&](int64_t k) {
        return top(k) > -d.noteWidth && k * d.noteWidth < d.alongLimit;
    };
    for (int64_t k = d.firstKey; drawn(k); ++k) {
        d.Key(0, top(k), width, top(k) + d.noteWidth + unit, d.WhiteColor(d.WhiteNote(k)));
    }
    // Black keys lie against the left edge; going up the keyboard is going up the screen,
    // so the shift is subtracted.
    for (int64_t k = d.firstKey; drawn(k); ++k) {
        const int position = static_cast<int>(k % 7);
        if (!HasBlackKeyAfter(position)) continue;
        const int64_t y1 = top(k) - half - d.BlackOffset(k);
        d.Key(0, y1, d.metrics.BlackDepth, y1 + d.metrics.BlackWidth,
              d.BlackColor(d.WhiteNote(k) + 1));
    }
}

// Rows of a horizontal keyboard change only at the top and bottom edges of its three kinds
// of rectangle (white keys, black keys, the control's outline) and along the pen bands of
// those edges. Between two such rows every row is the same, so one row of each run is drawn
// key by key and copied down the run: a few hundred narrow fills per run instead of per row.
void DrawHorizontalByRuns(const KeyDrawing& d, const fw::PixelRect& outline) noexcept {
    const int64_t penWidth = std::max(d.pen.width, 1);
    const int64_t before = penWidth / 2;
    std::array<int64_t, 20> breaks{};
    size_t count = 0;
    const auto addEdges = [&](int64_t top, int64_t bottom) {
        for (int64_t row : {top, bottom, top - before, top - before + penWidth, bottom - 1 - before,
                            bottom - 1 - before + penWidth}) {
            breaks[count++] = std::clamp<int64_t>(row, d.clip.top, d.clip.bottom);
        }
    };
    const fw::PixelRect white = d.Outlined(0, 0, 0, d.metrics.Depth);
    const fw::PixelRect black = d.Outlined(0, 0, 0, d.metrics.BlackDepth);
    addEdges(white.top, white.bottom);
    addEdges(black.top, black.bottom);
    addEdges(outline.top, outline.bottom);
    breaks[count++] = d.clip.top;
    breaks[count++] = d.clip.bottom;
    std::sort(breaks.begin(), breaks.begin() + static_cast<std::ptrdiff_t>(count));

    const fw::PixelSurface& surface = d.surface;
    const auto row = [&](int64_t y) {
        return surface.pixels + static_cast<std::ptrdiff_t>(y) * surface.stride + d.clip.left;
    };
    const auto columns = static_cast<std::ptrdiff_t>(d.clip.right - d.clip.left);
    for (size_t i = 0; i + 1 < count; ++i) {
        const int64_t first = breaks[i];
        const int64_t end = breaks[i + 1];
        if (first >= end) continue;
        KeyDrawing line = d;
        line.clip = {d.clip.left, static_cast<int>(first), d.clip.right,
                     static_cast<int>(first) + 1};
        DrawHorizontal(line);
        fw::Rectangle(surface, outline, d.pen, std::nullopt, line.clip);
        for (int64_t y = first + 1; y < end; ++y) std::copy_n(row(first), columns, row(y));
    }
}

} // namespace

void TKeys::Paint() {
    PaintArea(fw::EverywhereRect);
}

void TKeys::PaintArea(const fw::PixelRect& area) {
    fw::PixelSurface* surface = host_.BackBuffer();
    if (surface == nullptr || width_ <= 0 || height_ <= 0) return;

    const fw::PixelRect bounds{left_, top_, fw::ClampToInt(int64_t{left_} + width_),
                               fw::ClampToInt(int64_t{top_} + height_)};
    // Drawing stays inside the control: the back buffer around it belongs to the frame and
    // the fader, and only what was drawn is presented.
    const fw::PixelRect clip =
        fw::Intersect(fw::Intersect(bounds, {0, 0, surface->width, surface->height}), area);
    if (fw::IsEmpty(clip)) return;
    const fw::OutlinePen pen{skin_.KeysOutlineColorRef, skin_.KeysOutlineWidth};

    if (fw::IsDrawable(*surface)) {
        KeyDrawing drawing{*surface,     clip,        left_,       top_,       pen,  orientation_,
                           GetMetrics(), NoteWidth(), baseOctave_, downNotes_, skin_};
        for (int position = 0; position < 7; ++position)
            drawing.offsets[static_cast<size_t>(position)] = BlackKeyOffset(position);
        LimitToVisibleKeys(drawing);
        // The outline around the whole keyboard, along its outermost pixels.
        const fw::PixelRect outline = drawing.Outlined(0, 0, width_, height_);
        if (orientation_ == TKeyboardOrientation::Horizontal) {
            DrawHorizontalByRuns(drawing, outline);
        } else {
            DrawVertical(drawing, width_);
            fw::Rectangle(*surface, outline, pen, std::nullopt, clip);
        }
        if (overlay_) overlay_->PaintOver(*this, *surface, clip);
    }
    host_.Present(clip.left, clip.top, clip.right - clip.left, clip.bottom - clip.top);
}

} // namespace zevaver

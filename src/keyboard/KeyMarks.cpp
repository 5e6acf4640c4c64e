#include "keyboard/KeyMarks.h"

#include "keyboard/KeyShapes.h"
#include "skin/SkinConfig.h"

#include <algorithm>
#include <array>
#include <utility>

namespace zevaver {

namespace {

// Strong colours that no skin uses for its keys' own look: the mark must read as a mark,
// not as one more pressed key.
constexpr std::array<fw::ColorRef, 5> MarkPalette = {
    fw::RGBValue(0, 84, 230),  // blue
    fw::RGBValue(214, 0, 96),  // crimson
    fw::RGBValue(0, 140, 70),  // green
    fw::RGBValue(255, 196, 0), // amber
    fw::RGBValue(0, 214, 255), // cyan
};

} // namespace

fw::ColorRef MarkColor(fw::ColorRef fill, fw::ColorRef downFill) noexcept {
    fw::ColorRef best = MarkPalette.front();
    double bestRatio = 0;
    for (fw::ColorRef color : MarkPalette) {
        const double ratio = std::min(ContrastRatio(color, fill), ContrastRatio(color, downFill));
        if (ratio > bestRatio) {
            best = color;
            bestRatio = ratio;
        }
    }
    return best;
}

fw::ColorRef MarkLining(fw::ColorRef mark) noexcept {
    return ContrastingColor(mark, {});
}

void KeyMarks::SetPainter(TextPainter* painter) noexcept {
    painter_ = painter;
    placedFor_.reset();
}

void KeyMarks::SetTexts(NoteTexts texts) {
    texts_ = std::move(texts);
    anyText_ = std::any_of(texts_.begin(), texts_.end(), [](const auto& t) { return !t.empty(); });
    placedFor_.reset();
}

KeyMarks::Look KeyMarks::LookOf(const TKeys& keys) noexcept {
    const TSkinConfig& skin = keys.Skin();
    return {keys.Orientation(),
            keys.NoteWidth(),
            keys.BaseOctave(),
            keys.Width(),
            keys.Height(),
            skin.BlackKeysHeight,
            skin.KeysOutlineWidth,
            {skin.WhiteKeyColorRef, skin.BlackKeyColorRef, skin.WhiteKeyDownColorRef,
             skin.BlackKeyDownColorRef, skin.KeysOutlineColorRef}};
}

const std::vector<PlacedLabel>& KeyMarks::Labels(const TKeys& keys) {
    if (!anyText_ || painter_ == nullptr) {
        placed_.clear();
        return placed_;
    }
    const Look look = LookOf(keys);
    if (placedFor_ != look) {
        placed_ = PlaceLabels(keys, texts_, *painter_);
        placedFor_ = look;
    }
    return placed_;
}

void KeyMarks::PaintOver(const TKeys& keys, const fw::PixelSurface& surface,
                         const fw::PixelRect& clip) {
    // The mark's pixels first: the names are the platform's drawing, over them.
    PaintMark(keys, surface, clip);
    if (painter_ == nullptr) return;
    for (const PlacedLabel& label : Labels(keys)) {
        const fw::ColorRef color =
            keys.DownNotes().Contains(label.note) ? label.downColor : label.color;
        painter_->Draw(label.text, keys.Left() + label.left, keys.Top() + label.top, label.size,
                       color, clip);
    }
    painter_->EndDrawing();
}

// A frame just inside the key's outline, around the part of the key the player sees whole,
// lined inside with black or white: where the frame's colour and the key's are close (a key
// drawn down in a warm colour), the lining stands out.
void KeyMarks::PaintMark(const TKeys& keys, const fw::PixelSurface& surface,
                         const fw::PixelRect& clip) const {
    if (picked_ == NoNote) return;
    const auto shape = KeyShapeOf(keys, picked_);
    if (!shape) return;
    const TSkinConfig& skin = keys.Skin();
    const fw::ColorRef color = shape->black
                                   ? MarkColor(skin.BlackKeyColorRef, skin.BlackKeyDownColorRef)
                                   : MarkColor(skin.WhiteKeyColorRef, skin.WhiteKeyDownColorRef);
    const int inset = std::max(skin.KeysOutlineWidth, 1);
    const fw::PixelRect face = shape->face;
    const fw::PixelRect outer{keys.Left() + face.left + inset, keys.Top() + face.top + inset,
                              keys.Left() + face.right - inset, keys.Top() + face.bottom - inset};
    const auto frame = [&](const fw::PixelRect& r, int thickness, fw::ColorRef ink) {
        const int t = std::min({thickness, (r.right - r.left) / 2, (r.bottom - r.top) / 2});
        if (t <= 0) return;
        for (const fw::PixelRect& band : {fw::PixelRect{r.left, r.top, r.right, r.top + t},
                                          fw::PixelRect{r.left, r.bottom - t, r.right, r.bottom},
                                          fw::PixelRect{r.left, r.top, r.left + t, r.bottom},
                                          fw::PixelRect{r.right - t, r.top, r.right, r.bottom}})
            fw::FillRect(surface, fw::Intersect(band, clip), ink);
    };
    const int t = MarkThickness(keys.NoteWidth(), skin.Scale);
    frame(outer, t, color);
    frame({outer.left + t, outer.top + t, outer.right - t, outer.bottom - t}, skin.Scale.Unit(),
          MarkLining(color));
}

} // namespace zevaver

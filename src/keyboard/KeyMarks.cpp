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

// The notice: light text on a dark band, whatever the skin, as a tooltip reads.
constexpr fw::ColorRef NoticeBand = fw::RGBValue(32, 34, 40);
constexpr fw::ColorRef NoticeText = fw::RGBValue(255, 255, 255);
constexpr int NoticeSize = 12;

// The words of a text in lines no wider than `width` (a word wider than that alone).
std::vector<std::string> Wrapped(const std::string& text, int width, int size,
                                 TextPainter& painter) {
    std::vector<std::string> lines;
    std::string line;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find(' ', start);
        if (end == std::string::npos) end = text.size();
        const std::string word = text.substr(start, end - start);
        start = end + 1;
        if (word.empty()) continue;
        const std::string longer = line.empty() ? word : line + ' ' + word;
        if (!line.empty() && painter.Measure(longer, size).width > width) {
            lines.push_back(std::move(line));
            line = word;
        } else {
            line = longer;
        }
    }
    if (!line.empty()) lines.push_back(std::move(line));
    return lines;
}

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

KeyMarks::NoticeLayout KeyMarks::LayOutNotice(const TKeys& keys) const {
    NoticeLayout layout;
    if (notice_.empty() || painter_ == nullptr) return layout;
    const int size = std::min(NoticeSize, std::max(MinLabelSize, keys.Height() / 6));
    const int pad = std::max(2, size / 3);
    const std::vector<std::string> lines =
        Wrapped(notice_, keys.Width() - 2 * pad, size, *painter_);
    int top = pad;
    for (const std::string& line : lines) {
        const TextSize measured = painter_->Measure(line, size);
        if (measured.height <= 0) return {};
        layout.lines.push_back({NoNote, line, pad, top, size, NoticeText, NoticeText});
        top += measured.height;
    }
    layout.band = {0, 0, keys.Width(), std::min(keys.Height(), top + pad)};
    return layout;
}

void KeyMarks::PaintOver(const TKeys& keys, const fw::PixelSurface& surface,
                         const fw::PixelRect& clip) {
    // The pixels first (the mark, the notice's band): the text is the platform's drawing,
    // over them.
    PaintMark(keys, surface, clip);
    if (painter_ == nullptr) return;
    const NoticeLayout notice = LayOutNotice(keys);
    const fw::PixelRect band{keys.Left() + notice.band.left, keys.Top() + notice.band.top,
                             keys.Left() + notice.band.right, keys.Top() + notice.band.bottom};
    fw::FillRect(surface, fw::Intersect(band, clip), NoticeBand);
    for (const PlacedLabel& label : Labels(keys)) {
        const int left = keys.Left() + label.left, top = keys.Top() + label.top;
        // A name under the notice would show through its band.
        if (fw::PointIn(band, left, top)) continue;
        const fw::ColorRef color =
            keys.DownNotes().Contains(label.note) ? label.downColor : label.color;
        painter_->Draw(label.text, left, top, label.size, color, clip);
    }
    for (const PlacedLabel& line : notice.lines)
        painter_->Draw(line.text, keys.Left() + line.left, keys.Top() + line.top, line.size,
                       line.color, fw::Intersect(band, clip));
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

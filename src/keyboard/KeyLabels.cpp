#include "keyboard/KeyLabels.h"

#include "keyboard/KeyShapes.h"
#include "keyboard/Keys.h"
#include "skin/SkinConfig.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <optional>
#include <utility>

namespace zevaver {

namespace {

constexpr fw::ColorRef Black = fw::RGBValue(0, 0, 0);
constexpr fw::ColorRef White = fw::RGBValue(255, 255, 255);

double Channel(uint32_t value) noexcept {
    const double c = value / 255.0;
    return c <= 0.03928 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
}

double Luminance(fw::ColorRef color) noexcept {
    return 0.2126 * Channel(color & 0xFFu) + 0.7152 * Channel((color >> 8) & 0xFFu) +
           0.0722 * Channel((color >> 16) & 0xFFu);
}

// Measurements are asked for many times over while sizes are tried.
class MeasureCache {
public:
    explicit MeasureCache(TextPainter& painter) : painter_(painter) {}
    TextSize operator()(const std::string& text, int size) {
        auto [found, added] = sizes_.try_emplace({text, size});
        if (added) found->second = painter_.Measure(text, size);
        return found->second;
    }

private:
    TextPainter& painter_;
    std::map<std::pair<std::string, int>, TextSize> sizes_;
};

struct Candidate {
    int note;
    KeyShape shape;
    const std::vector<std::string>* texts;
};

// The room for names on a key: inside its outline across the key, where every pixel
// counts, and clear of the picked key's frame along it.
fw::PixelRect Room(const fw::PixelRect& face, bool horizontal, int outline, int noteWidth,
                   const fw::DpiScale& scale) noexcept {
    const int across = outline;
    // The frame and its lining.
    const int along = outline + MarkThickness(noteWidth, scale) + scale.Unit();
    const int x = horizontal ? across : along;
    const int y = horizontal ? along : across;
    return {face.left + x, face.top + y, face.right - x, face.bottom - y};
}

// The places of a key's names at one size, or nothing when they do not all fit.
std::optional<std::vector<PlacedLabel>> Arrange(const Candidate& key, int size, bool horizontal,
                                                int outline, const TKeys& keys,
                                                MeasureCache& measure) {
    const fw::PixelRect room =
        Room(key.shape.face, horizontal, outline, keys.NoteWidth(), keys.Skin().Scale);
    const int roomWidth = room.right - room.left;
    const int roomHeight = room.bottom - room.top;
    std::vector<TextSize> sizes;
    int widest = 0, tallest = 0, totalWidth = 0, totalHeight = 0;
    for (const std::string& text : *key.texts) {
        const TextSize s = measure(text, size);
        if (s.width <= 0 || s.height <= 0) return std::nullopt; // not measured: not shown
        sizes.push_back(s);
        widest = std::max(widest, s.width);
        tallest = std::max(tallest, s.height);
        totalWidth += s.width;
        totalHeight += s.height;
    }
    const int gap = std::max(2, size / 3);
    totalWidth += gap * (static_cast<int>(sizes.size()) - 1);

    std::vector<PlacedLabel> placed;
    if (horizontal) {
        // Stacked, the last name against the near (bottom) end.
        if (widest > roomWidth || totalHeight > roomHeight) return std::nullopt;
        int top = room.bottom - totalHeight;
        for (size_t i = 0; i < sizes.size(); ++i) {
            placed.push_back({key.note, (*key.texts)[i],
                              room.left + (roomWidth - sizes[i].width) / 2, top, size});
            top += sizes[i].height;
        }
    } else {
        // Side by side, the last name against the near (right) end.
        if (totalWidth > roomWidth || tallest > roomHeight) return std::nullopt;
        int left = room.right - totalWidth;
        for (size_t i = 0; i < sizes.size(); ++i) {
            placed.push_back({key.note, (*key.texts)[i], left,
                              room.top + (roomHeight - sizes[i].height) / 2, size});
            left += sizes[i].width + gap;
        }
    }
    return placed;
}

// Names of one character each, the names most keys have: a size at which one of these does
// not fit shows the keys of its kind patchily, which reads as names missing.
bool Short(const std::vector<std::string>& texts) {
    return std::all_of(texts.begin(), texts.end(), [](const std::string& text) {
        return std::count_if(text.begin(), text.end(), [](char c) {
                   return (static_cast<unsigned char>(c) & 0xC0u) != 0x80u;
               }) == 1;
    });
}

} // namespace

double ContrastRatio(fw::ColorRef a, fw::ColorRef b) noexcept {
    const double la = Luminance(a);
    const double lb = Luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

fw::ColorRef ContrastingColor(fw::ColorRef background,
                              std::initializer_list<fw::ColorRef> candidates) noexcept {
    fw::ColorRef best = Black;
    double bestRatio = 0;
    for (fw::ColorRef candidate : candidates) {
        const double ratio = ContrastRatio(background, candidate);
        if (ratio > bestRatio) {
            best = candidate;
            bestRatio = ratio;
        }
    }
    if (bestRatio >= MinLabelContrast) return best;
    return ContrastRatio(background, Black) >= ContrastRatio(background, White) ? Black : White;
}

int MarkThickness(int noteWidth, const fw::DpiScale& scale) noexcept {
    return scale.Px(std::clamp(scale.ToBase(noteWidth) / 6, 2, 5));
}

int PreferredLabelSize(int noteWidth, const fw::DpiScale& scale) noexcept {
    return std::clamp(noteWidth * 3 / 4, scale.Px(MinLabelSize), scale.Px(MaxLabelSize));
}

std::vector<PlacedLabel> PlaceLabels(const TKeys& keys, const NoteTexts& texts,
                                     TextPainter& painter) {
    const bool horizontal = keys.Orientation() == TKeyboardOrientation::Horizontal;
    const TSkinConfig& skin = keys.Skin();
    const int outline = std::max(skin.KeysOutlineWidth, 1);

    std::vector<Candidate> whites, blacks;
    for (int note = 0; note < static_cast<int>(texts.size()); ++note) {
        if (texts[static_cast<size_t>(note)].empty()) continue;
        const auto shape = KeyShapeOf(keys, note);
        if (!shape) continue;
        (shape->black ? blacks : whites)
            .push_back({note, *shape, &texts[static_cast<size_t>(note)]});
    }

    MeasureCache measure(painter);
    // The names of all the keys of a kind at one size, or nothing when a single-character
    // name does not fit (names on some keys of a kind read as names missing).
    const auto placeAt = [&](const std::vector<Candidate>& keysOfKind, int size, size_t& fitting) {
        std::optional<std::vector<PlacedLabel>> atSize{std::in_place};
        fitting = 0;
        for (const Candidate& key : keysOfKind) {
            if (auto placed = Arrange(key, size, horizontal, outline, keys, measure)) {
                ++fitting;
                atSize->insert(atSize->end(), placed->begin(), placed->end());
            } else if (Short(*key.texts)) {
                return std::optional<std::vector<PlacedLabel>>();
            }
        }
        return atSize;
    };
    // The size at which most keys of a kind show their names; 0 for none.
    const auto bestSize = [&](const std::vector<Candidate>& keysOfKind) {
        int best = 0;
        size_t bestKeys = 0;
        const fw::DpiScale& scale = skin.Scale;
        for (int size = PreferredLabelSize(keys.NoteWidth(), scale); size >= scale.Px(MinLabelSize);
             --size) {
            size_t fitting = 0;
            if (placeAt(keysOfKind, size, fitting) && fitting > bestKeys) {
                bestKeys = fitting;
                best = size;
            }
            if (bestKeys == keysOfKind.size()) break;
        }
        return best;
    };
    // White and black keys' names alike, at the smaller of the two sizes: a name that
    // fits at a size fits at a smaller one.
    const int whiteSize = bestSize(whites);
    const int blackSize = bestSize(blacks);
    const int size = whiteSize == 0   ? blackSize
                     : blackSize == 0 ? whiteSize
                                      : std::min(whiteSize, blackSize);

    std::vector<PlacedLabel> result;
    const auto colors = {skin.WhiteKeyColorRef, skin.BlackKeyColorRef, skin.WhiteKeyDownColorRef,
                         skin.BlackKeyDownColorRef, skin.KeysOutlineColorRef};
    const auto placeAll = [&](const std::vector<Candidate>& keysOfKind, int kindSize,
                              fw::ColorRef fill, fw::ColorRef downFill) {
        size_t fitting = 0;
        if (kindSize == 0) return;
        auto placed = placeAt(keysOfKind, size, fitting);
        if (!placed) return;
        const fw::ColorRef color = ContrastingColor(fill, colors);
        const fw::ColorRef downColor = ContrastingColor(downFill, colors);
        for (PlacedLabel& label : *placed) {
            label.color = color;
            label.downColor = downColor;
            result.push_back(std::move(label));
        }
    };
    placeAll(whites, whiteSize, skin.WhiteKeyColorRef, skin.WhiteKeyDownColorRef);
    placeAll(blacks, blackSize, skin.BlackKeyColorRef, skin.BlackKeyDownColorRef);
    return result;
}

} // namespace zevaver

// Names on the on-screen keys: which text goes where on which key, at what size and in
// what colour. The platform measures and draws the text (TextPainter); everything else is
// decided here. A key shows all its names or none: a name cut off, or one of two missing,
// would say the wrong thing.
#pragma once

#include "framework/DpiScale.h"
#include "framework/PixelSurface.h"

#include <array>
#include <initializer_list>
#include <string>
#include <vector>

namespace zevaver {

class TKeys;
struct TSkinConfig;

struct TextSize {
    int width = 0;
    int height = 0;
};

// Text in the platform's user-interface font.
class TextPainter {
public:
    virtual ~TextPainter() = default;
    // The size of a UTF-8 text in the label font whose letters are `size` pixels high.
    [[nodiscard]] virtual TextSize Measure(const std::string& text, int size) = 0;
    // Draws the text with its top-left corner at (left, top) of the back buffer, nothing
    // outside clip.
    virtual void Draw(const std::string& text, int left, int top, int size, fw::ColorRef color,
                      const fw::PixelRect& clip) = 0;
    // After the last Draw of a paint: what was drawn is in the back buffer.
    virtual void EndDrawing() {}
};

// Smaller text is not read at a glance; larger leaves too little of a key around it (at
// 96 DPI; in proportion at other scales).
inline constexpr int MinLabelSize = 8;
inline constexpr int MaxLabelSize = 18;
// The contrast ratio ordinary text needs to be read easily.
inline constexpr double MinLabelContrast = 4.5;

// The contrast ratio of two colours as the accessibility guidelines measure it: 1 (none)
// to 21 (black on white).
[[nodiscard]] double ContrastRatio(fw::ColorRef a, fw::ColorRef b) noexcept;
// The candidate that stands out best against the background; black or white when none
// reaches MinLabelContrast.
[[nodiscard]] fw::ColorRef
ContrastingColor(fw::ColorRef background, std::initializer_list<fw::ColorRef> candidates) noexcept;

// How thick the frame that marks a picked key is at a white-key width (as drawn at the
// scale); names keep clear of it along the key.
[[nodiscard]] int MarkThickness(int noteWidth, const fw::DpiScale& scale = {}) noexcept;

// The size labels start from at a white-key width (as drawn at the scale).
[[nodiscard]] int PreferredLabelSize(int noteWidth, const fw::DpiScale& scale = {}) noexcept;

// The names for each note 0..127, top to bottom (left to right on a vertical keyboard).
using NoteTexts = std::array<std::vector<std::string>, 128>;

struct PlacedLabel {
    int note = 0;
    std::string text;
    int left = 0; // control coordinates of the text's top-left corner
    int top = 0;
    int size = 0;
    fw::ColorRef color = 0;     // on the key drawn up
    fw::ColorRef downColor = 0; // on the key drawn down
};

// Every name of every key drawn whose names all fit: near the player's end of the key,
// stacked on a horizontal keyboard, side by side on a vertical one. For each kind of key
// (white, black), the size from PreferredLabelSize down to MinLabelSize at which most of
// its keys show their names (the larger of two that show as many), among the sizes at which
// every key whose names are single characters shows them; no names on keys of a kind where
// there is no such size. Both kinds then show their names at the smaller of their two
// sizes, so that the names look alike on every key.
[[nodiscard]] std::vector<PlacedLabel> PlaceLabels(const TKeys& keys, const NoteTexts& texts,
                                                   TextPainter& painter);

} // namespace zevaver

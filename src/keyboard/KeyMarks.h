// What the keyboard draws over single keys: the computer keys' names and the mark of the
// key picked for mapping a computer key to. The names are placed once for each look of the
// keyboard (zoom, size, orientation, first octave, skin) and drawn at every repaint.
#pragma once

#include "keyboard/KeyLabels.h"
#include "keyboard/Keys.h"

#include <optional>
#include <vector>

namespace zevaver {

// A colour that stands out on a key both drawn up and drawn down, and the black or white
// of the line inside it.
[[nodiscard]] fw::ColorRef MarkColor(fw::ColorRef fill, fw::ColorRef downFill) noexcept;
[[nodiscard]] fw::ColorRef MarkLining(fw::ColorRef mark) noexcept;

class KeyMarks final : public KeysOverlay {
public:
    // The platform's text; without one no names are drawn.
    void SetPainter(TextPainter* painter) noexcept;
    // The names on each note's key; all empty shows none.
    void SetTexts(NoteTexts texts);
    [[nodiscard]] bool ShowsNames() const noexcept { return anyText_; }
    // The picked note, or NoNote.
    void SetPicked(int note) noexcept { picked_ = note; }
    [[nodiscard]] int Picked() const noexcept { return picked_; }

    // The names as they are drawn on this keyboard now.
    [[nodiscard]] const std::vector<PlacedLabel>& Labels(const TKeys& keys);

    void PaintOver(const TKeys& keys, const fw::PixelSurface& surface,
                   const fw::PixelRect& clip) override;

private:
    // What the names' places depend on.
    struct Look {
        TKeyboardOrientation orientation{};
        int noteWidth = 0, baseOctave = 0, width = 0, height = 0;
        int blackKeysHeight = 0, outlineWidth = 0;
        std::array<fw::ColorRef, 5> colors{};
        friend bool operator==(const Look&, const Look&) = default;
    };
    [[nodiscard]] static Look LookOf(const TKeys& keys) noexcept;
    void PaintMark(const TKeys& keys, const fw::PixelSurface& surface,
                   const fw::PixelRect& clip) const;

    TextPainter* painter_ = nullptr;
    NoteTexts texts_;
    bool anyText_ = false;
    int picked_ = NoNote;
    std::optional<Look> placedFor_;
    std::vector<PlacedLabel> placed_;
};

} // namespace zevaver

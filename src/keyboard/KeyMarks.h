// What the keyboard draws over its keys: the computer keys' names, the mark of the key
// picked for mapping a computer key to, and a notice across its far end while keys are
// mapped. The names are placed once for each look of the keyboard (zoom, size, orientation,
// first octave, skin) and drawn at every repaint.
#pragma once

#include "keyboard/KeyLabels.h"
#include "keyboard/Keys.h"

#include <optional>
#include <string>
#include <utility>
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
    // A line of text across the keyboard's far end (wrapped where it is narrow); "" shows none.
    void SetNotice(std::string notice) { notice_ = std::move(notice); }
    [[nodiscard]] const std::string& Notice() const noexcept { return notice_; }
    // The notice's band and its lines at their places, in control coordinates.
    struct NoticeLayout {
        fw::PixelRect band{};
        std::vector<PlacedLabel> lines;
    };
    [[nodiscard]] NoticeLayout LayOutNotice(const TKeys& keys) const;

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
    std::string notice_;
    std::optional<Look> placedFor_;
    std::vector<PlacedLabel> placed_;
};

} // namespace zevaver

// The skinned velocity fader without its bitmaps: where it lies, how far its thumb
// travels, the value 0..127 its thumb stands for, and the drag that moves the thumb by
// the pointer's travel rather than to the pointer. The value is the trackbar position,
// so the top (or left) end is the loudest.
#pragma once

#include "framework/PixelSurface.h"

#include <cstdint>

namespace zevaver {

// Width and height of one skin bitmap; an empty bitmap is 0 x 0.
struct BitmapSize {
    int width = 0;
    int height = 0;
};

// The sizes of the fader's bitmaps, named after their files.
struct FaderImages {
    BitmapSize trackV;       // "FaderV BG.bmp", the fader's main bitmap
    BitmapSize trackH;       // "FaderH BG.bmp"
    BitmapSize thumbV;       // "FaderV.bmp"
    BitmapSize thumbH;       // "FaderH.bmp"
    BitmapSize thumbVActive; // "FaderV Active.bmp"
    BitmapSize thumbHActive; // "FaderH Active.bmp"
    BitmapSize capLeft;      // "Fader Left.bmp"
    BitmapSize capRight;     // "Fader Right.bmp"
    BitmapSize capTop;       // "Fader Top.bmp"
    BitmapSize capBottom;    // "Fader Bottom.bmp"
};

struct FaderPoint {
    int x = 0;
    int y = 0;
    friend bool operator==(const FaderPoint&, const FaderPoint&) = default;
};

// Where Paint puts each piece, all in window client coordinates.
struct FaderLayout {
    FaderPoint firstCap;  // the top cap, or the left one
    FaderPoint secondCap; // the bottom cap, or the right one
    fw::PixelRect tile;   // the track bitmap is tiled over this
    FaderPoint thumb;
};

class FaderModel {
public:
    static constexpr int MaxValue = 127;

    // The value the fader stands at. It is held, not read back from the thumb's pixel
    // place: a layout with little or no travel (a minimised window) or a series of resizes
    // would otherwise round it away.
    [[nodiscard]] int FaderValue() const noexcept { return value_; }
    // The value for the thumb's place: 0 without travel, otherwise the thumb's share of
    // the travel times 127, rounded to the nearest integer with halves to the even one.
    [[nodiscard]] int ThumbValue() const noexcept;
    // Takes value v (held to 0..127) and places the thumb for it, rounded the same way.
    void SetFaderValue(int value) noexcept;
    // Keeps the thumb within its travel and takes the value of its place; returns the
    // value, which the caller writes into the trackbar.
    int ClampThumb() noexcept;

    // Lays the fader out in a window width x height with border B and title T, for the
    // direction in IsVertical, leaving `gap` pixels (one at 96 DPI) free beside the border;
    // the value survives, so the thumb moves with the change.
    void UpdateBounds(const FaderImages& images, int border, int title, int width, int height,
                      int gap = 1) noexcept;

    // A press anywhere on the fader starts a drag; the thumb stays where it is until the
    // pointer moves. The active thumbs are current while dragging.
    void MouseDown(int x, int y) noexcept;
    // The thumb moves by the pointer's travel since the press; returns the new value.
    int MouseMove(int x, int y) noexcept;
    void MouseUp() noexcept { dragging_ = false; }

    [[nodiscard]] FaderLayout Layout(const FaderImages& images) const noexcept;

    // The thumb moves from 0 to this many pixels; never negative, so a thumb longer than
    // its track stays at 0.
    [[nodiscard]] int Travel() const noexcept;

    [[nodiscard]] bool Dragging() const noexcept { return dragging_; }
    [[nodiscard]] const fw::PixelRect& Bounds() const noexcept { return bounds_; }
    [[nodiscard]] const fw::PixelRect& TileRect() const noexcept { return tileRect_; }
    [[nodiscard]] int16_t ThumbPos() const noexcept { return thumbPos_; }
    [[nodiscard]] int ThumbLength() const noexcept { return thumbLength_; }
    [[nodiscard]] int TrackLength() const noexcept { return trackLength_; }
    [[nodiscard]] int ThumbCross() const noexcept { return thumbCross_; }
    // Puts the thumb at a place, as a drag does: the value follows it.
    void SetThumbPos(int16_t pos) noexcept;

    bool IsVertical = true; // runs top to bottom; beside a horizontal keyboard

private:
    fw::PixelRect bounds_;
    fw::PixelRect tileRect_;
    int thumbCross_ = 0;
    int16_t dragStartPos_ = 0;
    int dragStartValue_ = 0;
    int pressX_ = 0;
    int pressY_ = 0;
    int thumbLength_ = 0;
    int trackLength_ = 0;
    int16_t thumbPos_ = 0;
    int value_ = 0;
    bool dragging_ = false;
};

// The thumb bitmaps in use: the active ones while dragging.
[[nodiscard]] BitmapSize CurrentThumb(const FaderImages& images, bool vertical,
                                      bool dragging) noexcept;

// Rounds to the nearest integer, halves to the even neighbour (2.5 gives 2, 3.5 gives 4).
[[nodiscard]] int RoundHalfEven(double value) noexcept;

} // namespace zevaver

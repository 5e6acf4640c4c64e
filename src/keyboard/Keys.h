// The on-screen piano keyboard: a windowless control that draws a run of keys starting at
// a C into its host's back buffer, shows the keys held down (as the notes of the keyboard,
// TKeyboardNotes, tell it) and turns mouse presses and drags into notes, which it asks for
// through two events. It knows nothing of MIDI and plays nothing itself: the notes are
// played where the computer keys play them, so both meet in one place.
#pragma once

#include "framework/Input.h"
#include "keyboard/NoteSet.h"

#include <array>
#include <cstdint>
#include <functional>

namespace zevaver {

namespace fw {
struct PixelSurface;
struct PixelRect;
} // namespace fw
struct TSkinConfig;

enum class TKeyboardOrientation {
    Horizontal = 0, // lowest note at the left, black keys along the top
    Vertical = 1,   // lowest note at the bottom, black keys along the left
};

using TMouseButton = fw::MouseButton;
using TShiftState = fw::ShiftState;

// What the control needs from the window it sits on.
struct KeysHost {
    virtual ~KeysHost() = default;
    // The window's off-screen image; null while there is none (nothing is drawn then).
    virtual fw::PixelSurface* BackBuffer() = 0;
    // Copies a rectangle of the back buffer to the same place in the window, now.
    virtual void Present(int left, int top, int width, int height) = 0;
    // Asks for a repaint later.
    virtual void Invalidate() = 0;
    virtual void CaptureMouse() = 0;
    virtual void ReleaseMouseCapture() = 0;
    virtual void SetSkinCursor() = 0;
    // True while the program sits in the notification area: changes skip the redraw.
    [[nodiscard]] virtual bool Minimized() const = 0;
};

// Sizes shared by drawing and hit testing, in pixels at the skin's scale. Length runs along
// the keyboard, Depth along the keys.
struct TKeyMetrics {
    int Length = 0;
    int Depth = 0;
    int BlackDepth = 0;
    int BlackWidth = 0;
    int Half = 0; // half a black key: how far it reaches over the white key before it
    // One pixel at 96 DPI: the thickness of the outline's own line along a key's edge.
    int Unit = 1;
    // How many pixels the outline's band starts after that line's first pixel: where a pen
    // wider than one pixel, centred on the line at 96 DPI, lies when the picture is scaled.
    int Lean = 0;
};

struct TNoteHit {
    int Note = 0;
    int Velocity = 0;
};

// What the hit test answers for a point that lies on no key it can name.
inline constexpr int NoNote = -1;

// Shift in pixels at 96 DPI of the black key after the white key at each position of the
// octave (0 = C .. 6 = B). Whole pixels, not scaled with the key width.
inline constexpr std::array<int, 7> BlackKeyOffsets = {-1, 1, 0, -1, 0, 1, 0};

// C, D, F, G and A have a black key after them; E and B do not.
[[nodiscard]] constexpr bool HasBlackKeyAfter(int whitePosition) noexcept {
    return whitePosition == 0 || whitePosition == 1 || whitePosition == 3 || whitePosition == 4 ||
           whitePosition == 5;
}

// Semitone above C of the white key at each position of the octave.
inline constexpr std::array<int, 7> WhiteKeySemitones = {0, 2, 4, 5, 7, 9, 11};

class TKeys;

// Draws over the keys once they are drawn, before the keyboard is presented: marks and
// labels that belong to single keys.
class KeysOverlay {
public:
    // clip: the control's rectangle within the surface, in back-buffer coordinates.
    virtual void PaintOver(const TKeys& keys, const fw::PixelSurface& surface,
                           const fw::PixelRect& clip) = 0;

protected:
    ~KeysOverlay() = default;
};

using TKeyboardNoteEvent = std::function<void(TKeys& sender, int note, int velocity)>;

class TKeys {
public:
    // The skin is read at every paint and hit test, never copied.
    TKeys(KeysHost& host, const TSkinConfig& skin);
    virtual ~TKeys();
    TKeys(const TKeys&) = delete;
    TKeys& operator=(const TKeys&) = delete;

    [[nodiscard]] TKeyboardOrientation Orientation() const noexcept { return orientation_; }
    // Invalidates when the value changes.
    void SetOrientation(TKeyboardOrientation value);

    // The white keys' width as drawn: the zoom at the skin's scale, at least 1 (the hit
    // test divides by it and the drawing loops step by it).
    [[nodiscard]] int NoteWidth() const noexcept;
    // The zoom: the white keys' width at 96 DPI. Values below 1 are stored as 1.
    // Invalidates when the stored value changes.
    void SetNoteWidth(int value);
    // The shift of the black key after the white key at a position of the octave, as drawn.
    [[nodiscard]] int BlackKeyOffset(int position) const noexcept;

    // The first key drawn is note BaseOctave x 12, a C.
    [[nodiscard]] int BaseOctave() const noexcept { return baseOctave_; }
    // Repaints at once when the value changes.
    void SetBaseOctave(int value);

    // Bounds in the host's back buffer.
    [[nodiscard]] int Left() const noexcept { return left_; }
    [[nodiscard]] int Top() const noexcept { return top_; }
    [[nodiscard]] int Width() const noexcept { return width_; }
    [[nodiscard]] int Height() const noexcept { return height_; }
    // Invalidates when any of them changes.
    void SetBounds(int left, int top, int width, int height);

    // Mouse velocity from the press point's depth on the key; false: always 127.
    bool VelocityMode = true;
    // The mouse presses a note (with its velocity) and lets it go (velocity 0). A release
    // may name a note that was never pressed (-1 before the first press).
    TKeyboardNoteEvent OnNoteOn;
    TKeyboardNoteEvent OnNoteOff;

    // Keys drawn pressed.
    [[nodiscard]] const TNoteSet& DownNotes() const noexcept { return downNotes_; }
    // Draws these keys pressed and all others released; repaints when that changes, unless
    // the program sits in the tray.
    void ShowNotes(const TNoteSet& down);
    // The note last pressed with the mouse; -1 until the first one.
    [[nodiscard]] int MouseNote() const noexcept { return mouseNote_; }

    // Draws the whole keyboard into the host's back buffer, clipped to the control's
    // rectangle, and presents that rectangle.
    void Paint();
    // The same for the part of the keyboard inside `area` (back-buffer coordinates).
    void PaintArea(const fw::PixelRect& area);

    // The hit test, in control coordinates. The note is not limited to 0..127.
    [[nodiscard]] TNoteHit NoteAt(int x, int y) const noexcept;
    [[nodiscard]] TKeyMetrics GetMetrics() const noexcept;

    // Every left press plays; the mouse is held captured until the last button pressed
    // on the control comes up, so the left button's release always arrives.
    void KeysMouseDown(TMouseButton button, TShiftState shift, int x, int y);
    // A drag plays with the left button held; one that began off the control takes the
    // mouse as a press would, so its release ends the note.
    void KeysMouseMove(TShiftState shift, int x, int y);
    void KeysMouseUp(TMouseButton button, TShiftState shift, int x, int y);
    // The mouse was taken away (another window captured it, a menu opened): the left
    // button's release will not arrive, so its note ends now.
    void KeysCaptureLost();
    // Whether a button was pressed on the control (or dragged onto it) and not yet released.
    [[nodiscard]] bool HoldsButton(TMouseButton button) const noexcept {
        return (mouseButtons_ & ButtonBit(button)) != 0;
    }
    [[nodiscard]] bool HoldsMouse() const noexcept { return mouseButtons_ != 0; }

    [[nodiscard]] const TSkinConfig& Skin() const noexcept { return skin_; }

    // What draws over the keys, or null; the caller keeps it alive and repaints.
    void SetOverlay(KeysOverlay* overlay) noexcept { overlay_ = overlay; }

protected:
    [[nodiscard]] KeysHost& Host() const noexcept { return host_; }

private:
    static constexpr unsigned ButtonBit(TMouseButton button) noexcept {
        return 1u << static_cast<unsigned>(button);
    }
    void PlayNote(int note, int velocity);
    void EndNote(int note);

    KeysHost& host_;
    const TSkinConfig& skin_;
    TKeyboardOrientation orientation_ = TKeyboardOrientation::Horizontal;
    int zoom_ = 10;
    int baseOctave_ = 3;
    int left_ = 0;
    int top_ = 0;
    int width_ = 200;
    int height_ = 50;
    TNoteSet downNotes_;
    int mouseNote_ = -1;
    unsigned mouseButtons_ = 0;
    KeysOverlay* overlay_ = nullptr;
};

} // namespace zevaver

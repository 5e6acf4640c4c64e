#include "keyboard/Keys.h"

#include "framework/PixelSurface.h"
#include "skin/SkinConfig.h"

#include <algorithm>

namespace zevaver {

TKeys::TKeys(KeysHost& host, const TSkinConfig& skin) : host_(host), skin_(skin) {}

TKeys::~TKeys() = default;

void TKeys::SetOrientation(TKeyboardOrientation value) {
    if (value == orientation_) return;
    orientation_ = value;
    host_.Invalidate();
}

void TKeys::SetNoteWidth(int value) {
    value = std::max(value, 1);
    if (value == zoom_) return;
    zoom_ = value;
    host_.Invalidate();
}

int TKeys::NoteWidth() const noexcept {
    return std::max(skin_.Scale.Px(zoom_), 1);
}

int TKeys::BlackKeyOffset(int position) const noexcept {
    return skin_.Scale.Px(BlackKeyOffsets[static_cast<size_t>(position)]);
}

void TKeys::SetBaseOctave(int value) {
    if (value == baseOctave_) return;
    baseOctave_ = value;
    Paint();
}

void TKeys::SetBounds(int left, int top, int width, int height) {
    if (left == left_ && top == top_ && width == width_ && height == height_) return;
    left_ = left;
    top_ = top;
    width_ = width;
    height_ = height;
    host_.Invalidate();
}

TKeyMetrics TKeys::GetMetrics() const noexcept {
    TKeyMetrics metrics;
    metrics.Length = orientation_ == TKeyboardOrientation::Horizontal ? width_ : height_;
    metrics.Depth = orientation_ == TKeyboardOrientation::Horizontal ? height_ : width_;
    // The black keys' sizes scale from the 96-DPI picture's, so that at 200 % the keys are
    // those of 100 % with every pixel doubled.
    const fw::DpiScale& scale = skin_.Scale;
    metrics.BlackDepth = scale.Px(
        fw::ClampToInt(int64_t{scale.ToBase(metrics.Depth)} * skin_.BlackKeysHeight / 100));
    const int blackWidth = fw::ClampToInt(int64_t{zoom_} * 3 / 5);
    metrics.BlackWidth = scale.Px(blackWidth);
    metrics.Half = scale.Px(blackWidth / 2);
    metrics.Unit = scale.Unit();
    const int pen = std::max(skin_.KeysOutlineWidth, 1);
    metrics.Lean = pen / 2 - scale.Px(scale.ToBase(pen) / 2);
    return metrics;
}

TNoteHit TKeys::NoteAt(int x, int y) const noexcept {
    const TKeyMetrics metrics = GetMetrics();
    const int64_t noteWidth = NoteWidth();
    const int64_t half = metrics.Half;
    // Across is measured from the keys' far end, where the black keys lie.
    const bool horizontal = orientation_ == TKeyboardOrientation::Horizontal;
    const int64_t along = horizontal ? int64_t{x} : int64_t{metrics.Length} - y - 1;
    const int64_t across = horizontal ? y : x;

    // Within one key width before the start, truncating division still gives the first C.
    // Further out there is no key to name (the position in the octave would be negative),
    // so such a point plays nothing rather than a note folded back from the octave below.
    if (along <= -noteWidth) return {NoNote, 0};

    const int64_t whiteKey = along / noteWidth;
    const int64_t rest = along % noteWidth;
    const int64_t octave = whiteKey / 7;
    const int position = static_cast<int>(whiteKey % 7);
    const int previous = position == 0 ? 6 : position - 1;

    bool black = false;
    int key = position;
    if (across < metrics.BlackDepth) {
        if (rest >= noteWidth - half + BlackKeyOffset(position)) {
            black = HasBlackKeyAfter(position);
        } else if (rest < metrics.BlackWidth - half + BlackKeyOffset(previous)) {
            black = HasBlackKeyAfter(previous);
            if (black) key = previous;
        }
    }

    const int semitone = WhiteKeySemitones[key] + (black ? 1 : 0);
    int velocity = 127;
    if (VelocityMode) {
        const int64_t depth = black ? metrics.BlackDepth : metrics.Depth;
        // A point outside the keys (a press that arrives while the mouse is captured)
        // must still give a velocity a MIDI data byte can hold.
        velocity =
            depth > 0 ? static_cast<int>(std::clamp<int64_t>(across * 127 / depth, 0, 127)) : 0;
    }
    return {fw::ClampToInt((octave + baseOctave_) * 12 + semitone), velocity};
}

void TKeys::ShowNotes(const TNoteSet& down) {
    if (down == downNotes_) return;
    downNotes_ = down;
    if (!host_.Minimized()) Paint();
}

void TKeys::PlayNote(int note, int velocity) {
    if (OnNoteOn) OnNoteOn(*this, note, velocity);
}

void TKeys::EndNote(int note) {
    if (OnNoteOff) OnNoteOff(*this, note, 0);
}

void TKeys::KeysMouseDown(TMouseButton button, TShiftState /*shift*/, int x, int y) {
    // Any button: moves and the release must reach the control outside its rectangle too.
    host_.CaptureMouse();
    // A second left press without a release in between (the release went astray) ends the
    // first press's note before it is forgotten.
    if (button == TMouseButton::Left && HoldsButton(TMouseButton::Left)) EndNote(mouseNote_);
    mouseButtons_ |= ButtonBit(button);
    if (button != TMouseButton::Left) return;
    const TNoteHit hit = NoteAt(x, y);
    if (!IsMidiNote(hit.Note)) return;
    mouseNote_ = hit.Note;
    PlayNote(hit.Note, hit.Velocity);
}

void TKeys::KeysMouseMove(TShiftState shift, int x, int y) {
    host_.SetSkinCursor();
    if (!fw::Has(shift, TShiftState::Left)) return;
    // Only the across coordinate is held inside the control: a drag past either end keeps
    // playing the notes beyond the keys drawn.
    if (orientation_ == TKeyboardOrientation::Vertical) {
        x = std::max(0, std::min(x, width_ - 1));
    } else {
        y = std::max(0, std::min(y, height_ - 1));
    }
    const TNoteHit hit = NoteAt(x, y);
    if (!IsMidiNote(hit.Note) || hit.Note == mouseNote_) return;
    if (!HoldsButton(TMouseButton::Left)) {
        host_.CaptureMouse();
        mouseButtons_ |= ButtonBit(TMouseButton::Left);
    }
    EndNote(mouseNote_);
    mouseNote_ = hit.Note;
    PlayNote(hit.Note, hit.Velocity);
}

void TKeys::KeysMouseUp(TMouseButton button, TShiftState /*shift*/, int /*x*/, int /*y*/) {
    mouseButtons_ &= ~ButtonBit(button);
    // Cleared before the capture goes, so the capture change that follows ends nothing.
    if (mouseButtons_ == 0) host_.ReleaseMouseCapture();
    if (button == TMouseButton::Left) EndNote(mouseNote_);
}

void TKeys::KeysCaptureLost() {
    const bool left = HoldsButton(TMouseButton::Left);
    mouseButtons_ = 0;
    if (left) EndNote(mouseNote_);
}

} // namespace zevaver

#include "keyboard/KeyShapes.h"

#include "keyboard/Keys.h"

#include <array>

namespace zevaver {

namespace {

// For each semitone above C: the position of its white key in the octave, or of the white
// key before it for a black key (whose semitone is then not that white key's).
constexpr std::array<int, 12> WhitePosition = {0, 0, 1, 1, 2, 3, 3, 4, 4, 5, 5, 6};

} // namespace

std::optional<KeyShape> KeyShapeOf(const TKeys& keys, int note) {
    const int64_t relative = int64_t{note} - int64_t{keys.BaseOctave()} * 12;
    if (relative < 0) return std::nullopt;
    const int semitone = static_cast<int>(relative % 12);
    const int position = WhitePosition[static_cast<size_t>(semitone)];
    const int64_t k = relative / 12 * 7 + position;
    const TKeyMetrics m = keys.GetMetrics();
    const int64_t w = keys.NoteWidth();
    const int64_t half = m.Half, unit = m.Unit;
    const bool horizontal = keys.Orientation() == TKeyboardOrientation::Horizontal;
    const int64_t top = m.Length - w - unit - k * w; // of a vertical white key
    // As the drawing's loops stop; the black key after the last white key drawn is drawn too.
    if (horizontal ? k * w >= m.Length : top <= -w) return std::nullopt;

    KeyShape shape;
    shape.black = WhiteKeySemitones[static_cast<size_t>(position)] != semitone;
    const auto rect = [](int64_t l, int64_t t, int64_t r, int64_t b) {
        return fw::PixelRect{fw::ClampToInt(l), fw::ClampToInt(t), fw::ClampToInt(r),
                             fw::ClampToInt(b)};
    };
    if (horizontal) {
        if (shape.black) {
            const int64_t x0 = (k + 1) * w - half + keys.BlackKeyOffset(position);
            shape.face = rect(x0, 0, x0 + m.BlackWidth, m.BlackDepth);
        } else {
            shape.face = rect(k * w, m.BlackDepth, (k + 1) * w + unit, m.Depth);
        }
    } else {
        if (shape.black) {
            const int64_t y1 = top - half - keys.BlackKeyOffset(position);
            shape.face = rect(0, y1, m.BlackDepth, y1 + m.BlackWidth);
        } else {
            shape.face = rect(m.BlackDepth, top, keys.Width(), top + w + unit);
        }
    }
    return shape;
}

} // namespace zevaver

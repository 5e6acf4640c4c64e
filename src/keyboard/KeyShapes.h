// Where one key of the on-screen keyboard lies, as its drawing puts it: for marks and
// labels drawn over single keys.
#pragma once

#include "framework/PixelSurface.h"

#include <optional>

namespace zevaver {

class TKeys;

struct KeyShape {
    bool black = false;
    // The part of the key no black key covers, in control coordinates, as drawn (outline
    // included): for a white key the part between the black keys and the near end, for a
    // black key the whole key.
    fw::PixelRect face;
};

// The key of a note, if the keyboard draws one for it (any part of it within its length).
[[nodiscard]] std::optional<KeyShape> KeyShapeOf(const TKeys& keys, int note);

} // namespace zevaver

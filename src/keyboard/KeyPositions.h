// Keys by where they sit on the keyboard rather than what they print. A scan code (with its
// extended flag) names a key's place; these tables give the virtual-key code the key in that
// place has on the US English layout, whatever layout the user has. Layout files written
// for that layout then play the same physical keys on every national keyboard, and keep
// doing so whatever input language the focused window uses.
//
// The number pad gives its digit codes whatever the Num Lock state, so a note does not
// depend on a light. The modifiers give their sided codes (160..165).
#pragma once

#include <cstdint>

namespace zevaver {

struct KeyPosition {
    uint16_t scanCode = 0; // set 1, without the E0 prefix
    bool extended = false; // the E0 prefix
    friend bool operator==(const KeyPosition&, const KeyPosition&) = default;
};

// The US English virtual-key code of the key at this place; 0 for a place the table does
// not know (the caller then keeps the code the key gave).
[[nodiscard]] uint16_t UsKeyAt(KeyPosition position) noexcept;

// Where the key with this US English virtual-key code sits: the inverse of UsKeyAt for
// every code it gives; the generic Shift, Ctrl and Alt codes (16, 17, 18) give the left
// key. A scan code of 0 for a code the table does not place.
[[nodiscard]] KeyPosition UsKeyPosition(uint16_t virtualKey) noexcept;

} // namespace zevaver

// Keys as the X server reports them, by key code, turned into the key messages the key
// player reads: the US English code of the key in that place, its scan code and extended
// flag, and the flags the Windows hook library would give the same keystroke (previous
// state, Alt held, release). So the player, the pedal and the shortcuts run unchanged.
#pragma once

#include "services/WatchEvents.h"

#include <cstdint>
#include <optional>

namespace zevaver {

class KernelKeystrokes {
public:
    // One transition of the key with this X key code; nothing for a key with no place on a
    // PC keyboard.
    [[nodiscard]] std::optional<watch::KeyMessage> Apply(uint32_t xKeyCode, bool released) noexcept;
    // Whether a key is held as far as the transitions tell; the generic Shift, Ctrl and Alt
    // codes ask for either side.
    [[nodiscard]] bool IsDown(int32_t virtualKey) const noexcept;

private:
    watch::KeyStateTracker tracker_;
};

} // namespace zevaver

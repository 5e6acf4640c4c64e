// The command keys of the focused main window (and of its velocity fader): Page Up and Page
// Down move the transposition (by an octave with Ctrl), Insert resets it, and the keys of
// the command table click their menu item.
#pragma once

#include "engine/Commands.h"
#include "framework/Input.h"

#include <cstdint>
#include <optional>

namespace zevaver {

inline constexpr int32_t MaxTranspose = 36;

struct CommandKeyAction {
    std::optional<int32_t> transpose;  // the transposition to move to
    std::optional<KeyCommand> command; // the menu item to click
    // The key goes no further: the fader does not move for it.
    bool consumed = false;
};

// shift is the event's own modifier state; transpose the transposition in force.
[[nodiscard]] CommandKeyAction CommandKeyDown(uint16_t key, fw::ModifierSet shift,
                                              int32_t transpose) noexcept;

} // namespace zevaver

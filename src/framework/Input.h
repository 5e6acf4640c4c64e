// The one vocabulary of mouse buttons and held modifiers, shared by the keyboard control,
// the key player and the input watch.
#pragma once

namespace zevaver {

namespace fw {

enum class MouseButton { Left, Right, Middle };

// Modifier keys and mouse buttons held during a mouse event, as a set of flags.
enum class ShiftState : unsigned {
    None = 0,
    Shift = 0x01,
    Alt = 0x02,
    Ctrl = 0x04,
    Left = 0x08,
    Right = 0x10,
    Middle = 0x20,
};

[[nodiscard]] constexpr ShiftState operator|(ShiftState a, ShiftState b) noexcept {
    return static_cast<ShiftState>(static_cast<unsigned>(a) | static_cast<unsigned>(b));
}
constexpr ShiftState& operator|=(ShiftState& a, ShiftState b) noexcept {
    return a = a | b;
}
[[nodiscard]] constexpr bool Has(ShiftState set, ShiftState flag) noexcept {
    return (static_cast<unsigned>(set) & static_cast<unsigned>(flag)) != 0;
}

// Shift, Ctrl and Alt, as held or as carried by one key event.
struct ModifierSet {
    bool Shift = false;
    bool Ctrl = false;
    bool Alt = false;
    friend bool operator==(const ModifierSet&, const ModifierSet&) = default;
};

} // namespace fw

} // namespace zevaver

#include "keyboard/KeyPositions.h"

#include "engine/VirtualKeys.h"

#include <array>

namespace zevaver {

namespace {

// Scan codes without the prefix, 0x00..0x7F: the US layout's code at each.
constexpr std::array<uint8_t, 0x80> PlainKeys = [] {
    std::array<uint8_t, 0x80> t{};
    t[0x01] = 0x1B; // Esc
    const char digits[] = "1234567890";
    for (int i = 0; i < 10; ++i) t[0x02 + i] = static_cast<uint8_t>(digits[i]);
    t[0x0C] = 0xBD; // - _
    t[0x0D] = 0xBB; // = +
    t[0x0E] = 0x08; // Backspace
    t[0x0F] = 0x09; // Tab
    const char top[] = "QWERTYUIOP";
    for (int i = 0; i < 10; ++i) t[0x10 + i] = static_cast<uint8_t>(top[i]);
    t[0x1A] = 0xDB; // [
    t[0x1B] = 0xDD; // ]
    t[0x1C] = 0x0D; // Enter
    t[0x1D] = vk::LeftControl;
    const char home[] = "ASDFGHJKL";
    for (int i = 0; i < 9; ++i) t[0x1E + i] = static_cast<uint8_t>(home[i]);
    t[0x27] = 0xBA; // ;
    t[0x28] = 0xDE; // '
    t[0x29] = 0xC0; // `
    t[0x2A] = vk::LeftShift;
    t[0x2B] = 0xDC; // backslash
    const char bottom[] = "ZXCVBNM";
    for (int i = 0; i < 7; ++i) t[0x2C + i] = static_cast<uint8_t>(bottom[i]);
    t[0x33] = 0xBC; // ,
    t[0x34] = 0xBE; // .
    t[0x35] = 0xBF; // /
    t[0x36] = vk::RightShift;
    t[0x37] = 0x6A; // pad *
    t[0x38] = vk::LeftMenu;
    t[0x39] = vk::Space;
    t[0x3A] = 0x14;                                                            // Caps Lock
    for (int i = 0; i < 10; ++i) t[0x3B + i] = static_cast<uint8_t>(0x70 + i); // F1..F10
    t[0x45] = 0x13; // Pause (its E1 sequence arrives as the plain code)
    t[0x46] = 0x91; // Scroll Lock
    // The number pad, as with Num Lock on.
    t[0x47] = 0x67;
    t[0x48] = 0x68;
    t[0x49] = 0x69;
    t[0x4A] = vk::Subtract;
    t[0x4B] = 0x64;
    t[0x4C] = 0x65;
    t[0x4D] = 0x66;
    t[0x4E] = vk::Add;
    t[0x4F] = 0x61;
    t[0x50] = 0x62;
    t[0x51] = 0x63;
    t[0x52] = 0x60;
    t[0x53] = 0x6E; // pad .
    t[0x54] = 0x2C; // Alt+Print Screen
    t[0x56] = 0xE2; // the extra key of ISO keyboards, left of Z
    t[0x57] = 0x7A; // F11
    t[0x58] = 0x7B; // F12
    t[0x59] = 0x0C; // Clear
    for (int i = 0; i < 11; ++i) t[0x64 + i] = static_cast<uint8_t>(0x7C + i); // F13..F23
    t[0x73] = 0xC1; // the Brazilian keyboard's /? key
    t[0x76] = 0x87; // F24
    t[0x7E] = 0xC2; // the Brazilian keyboard's pad .
    return t;
}();

// Scan codes with the E0 prefix.
constexpr std::array<uint8_t, 0x80> ExtendedKeys = [] {
    std::array<uint8_t, 0x80> t{};
    t[0x10] = 0xB1; // previous track
    t[0x19] = 0xB0; // next track
    t[0x1C] = 0x0D; // pad Enter
    t[0x1D] = vk::RightControl;
    t[0x20] = 0xAD; // mute
    t[0x21] = 0xB7; // calculator
    t[0x22] = 0xB3; // play/pause
    t[0x24] = 0xB2; // stop
    t[0x2E] = 0xAE; // volume down
    t[0x30] = 0xAF; // volume up
    t[0x32] = 0xAC; // browser home
    t[0x35] = 0x6F; // pad /
    t[0x37] = 0x2C; // Print Screen
    t[0x38] = vk::RightMenu;
    t[0x45] = 0x90; // Num Lock
    t[0x46] = 0x03; // Ctrl+Break
    t[0x47] = 0x24; // Home
    t[0x48] = 0x26; // Up
    t[0x49] = vk::PageUp;
    t[0x4B] = 0x25; // Left
    t[0x4D] = 0x27; // Right
    t[0x4F] = 0x23; // End
    t[0x50] = 0x28; // Down
    t[0x51] = vk::PageDown;
    t[0x52] = vk::Insert;
    t[0x53] = vk::Delete;
    t[0x5B] = vk::LeftWin;
    t[0x5C] = vk::RightWin;
    t[0x5D] = 0x5D; // the menu key
    t[0x5F] = 0x5F; // sleep
    t[0x65] = 0xAA; // browser search
    t[0x66] = 0xAB; // favourites
    t[0x67] = 0xA8; // refresh
    t[0x68] = 0xA9; // browser stop
    t[0x69] = 0xA7; // forward
    t[0x6A] = 0xA6; // back
    t[0x6B] = 0xB6; // my computer
    t[0x6C] = 0xB4; // mail
    t[0x6D] = 0xB5; // media select
    return t;
}();

// The inverse: each code's first place, plain keys before extended ones (Enter and Print
// Screen are found on the main block).
constexpr std::array<KeyPosition, 256> Places = [] {
    std::array<KeyPosition, 256> places{};
    for (int extended = 1; extended >= 0; --extended) {
        const auto& table = extended ? ExtendedKeys : PlainKeys;
        for (int scan = 0x7F; scan > 0; --scan)
            if (table[scan] != 0)
                places[table[scan]] = {static_cast<uint16_t>(scan), extended != 0};
    }
    places[vk::Shift] = places[vk::LeftShift];
    places[vk::Control] = places[vk::LeftControl];
    places[vk::Menu] = places[vk::LeftMenu];
    return places;
}();

} // namespace

uint16_t UsKeyAt(KeyPosition position) noexcept {
    if (position.scanCode == 0 || position.scanCode >= 0x80) return 0;
    return (position.extended ? ExtendedKeys : PlainKeys)[position.scanCode];
}

KeyPosition UsKeyPosition(uint16_t virtualKey) noexcept {
    return virtualKey < Places.size() ? Places[virtualKey] : KeyPosition{};
}

} // namespace zevaver

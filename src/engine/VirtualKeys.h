// The platform's virtual-key codes the portable code names, in one place (the numbers are
// the platform's own; the portable code cannot include its header).
#pragma once

#include <cstdint>

namespace zevaver {

namespace vk {

inline constexpr uint16_t Back = 0x08; // Backspace
inline constexpr uint16_t Tab = 0x09;
inline constexpr uint16_t Return = 0x0D; // Enter
inline constexpr uint16_t Shift = 0x10;
inline constexpr uint16_t Control = 0x11;
inline constexpr uint16_t Menu = 0x12; // Alt
inline constexpr uint16_t Escape = 0x1B;
inline constexpr uint16_t Space = 0x20;
inline constexpr uint16_t PageUp = 0x21;
inline constexpr uint16_t PageDown = 0x22;
inline constexpr uint16_t Insert = 0x2D;
inline constexpr uint16_t Delete = 0x2E;
inline constexpr uint16_t LeftWin = 0x5B;
inline constexpr uint16_t RightWin = 0x5C;
inline constexpr uint16_t Add = 0x6B;
inline constexpr uint16_t Subtract = 0x6D;
inline constexpr uint16_t F2 = 0x71;
inline constexpr uint16_t F3 = 0x72;
inline constexpr uint16_t F4 = 0x73;
inline constexpr uint16_t F5 = 0x74;
inline constexpr uint16_t F6 = 0x75;
inline constexpr uint16_t F9 = 0x78;
inline constexpr uint16_t LeftShift = 0xA0;
inline constexpr uint16_t RightShift = 0xA1;
inline constexpr uint16_t LeftControl = 0xA2;
inline constexpr uint16_t RightControl = 0xA3;
inline constexpr uint16_t LeftMenu = 0xA4;
inline constexpr uint16_t RightMenu = 0xA5;

// Bits of a keystroke's flags (a key message's lParam), as the platform's keyboard hook
// lays them out.
inline constexpr uint32_t KeyRepeatCountOne = 0x00000001;
inline constexpr int KeyScanCodeShift = 16;
inline constexpr uint32_t KeyExtendedBit = 1u << 24;
inline constexpr uint32_t KeyAltContextBit = 1u << 29;
inline constexpr uint32_t KeyPreviousDownBit = 1u << 30;
inline constexpr uint32_t KeyReleaseBit = 1u << 31;

} // namespace vk

} // namespace zevaver

// Which computer key plays which note: 256 entries indexed by virtual-key code. 0 plays
// nothing; any other value is the note played at base octave C4 without transposition.
// Entries 1 and 2 (mouse-button codes, never key codes) stand for left and right Shift.
#pragma once

#include <array>
#include <cstdint>

namespace zevaver {

using KeyNoteTable = std::array<uint8_t, 256>;

inline constexpr int LeftShiftEntry = 1;
inline constexpr int RightShiftEntry = 2;

} // namespace zevaver

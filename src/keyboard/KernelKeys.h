// Where the keys that Linux numbers sit. The kernel gives every key a code of its own (the X
// server adds 8 to it), and these tables turn that code into the key's place on a PC
// keyboard: the set-1 scan code with its extended flag. From the place, UsKeyAt gives the
// code the US English layout has there, so the layout files play the same physical keys on
// Linux as on Windows, whatever keyboard map the desktop uses.
#pragma once

#include "keyboard/KeyPositions.h"

#include <cstdint>

namespace zevaver {

// The X server numbers keys from 8 up: its key code is the kernel's plus this.
inline constexpr uint32_t XKeyCodeOffset = 8;

// The place of the key with this kernel code; a scan code of 0 for a key that has no place
// on a PC keyboard (or one the table does not know).
[[nodiscard]] KeyPosition KernelKeyPosition(uint32_t kernelCode) noexcept;

// The US English virtual-key code of the key with this kernel code; 0 for none.
[[nodiscard]] uint16_t UsKeyOfKernelCode(uint32_t kernelCode) noexcept;

// The kernel code of the key in this place: the inverse of KernelKeyPosition; 0 for a place
// no kernel code has (or a scan code of 0).
[[nodiscard]] uint32_t KernelCodeAt(KeyPosition position) noexcept;

} // namespace zevaver

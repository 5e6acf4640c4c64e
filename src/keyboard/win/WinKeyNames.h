// The names of computer keys from the keyboard layout the user types with: the character a
// key types, else the system's own name for it.
#pragma once

#include <string>

namespace zevaver {

// The caption of a layout entry (a virtual-key code; 1 and 2 the left and right Shift key)
// under the keyboard layout of the calling thread.
[[nodiscard]] std::string SystemKeyCaption(int entry);

} // namespace zevaver

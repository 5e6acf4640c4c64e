// The names of computer keys from the keyboard layout the user types with: the character a
// key types, else the system's own name for it.
#pragma once

#include <string>

namespace zevaver {

// The caption of a layout entry (a virtual-key code; 1 and 2 the left and right Shift key)
// under the keyboard layout of the calling thread. byPosition: the entry is the US English
// code of a place on the keyboard, and the caption is what the user's keyboard prints on
// the key in that place.
[[nodiscard]] std::string SystemKeyCaption(int entry, bool byPosition = false);

} // namespace zevaver

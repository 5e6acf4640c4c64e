// The names of computer keys as the on-screen keys show them: what the user's keyboard
// layout prints on the key where it types a character ("Q", ",", "Ö"), a short name
// where it does not ("Num 5", "Space", "F1").
#pragma once

#include <string>

namespace zevaver {

// What the system says of a key under the user's keyboard layout, UTF-8.
struct SystemKeyText {
    std::string character; // what the key types without Shift (letters in upper case), or ""
    std::string name;      // the system's name for the key ("Num 5", "Page Up"), or ""
};

// The caption of a layout entry (a virtual-key code; 1 and 2 the left and right Shift key).
[[nodiscard]] std::string KeyCaption(int entry, const SystemKeyText& text);

// The caption where the system has nothing to say: the keys of a US keyboard.
[[nodiscard]] std::string BuiltInKeyName(int entry);

} // namespace zevaver

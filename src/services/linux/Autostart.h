// Starting with the session on Linux: an entry of the program's in the user's autostart
// folder (XDG autostart), which desktops read at login. The choice is the entry itself.
#pragma once

#include <string>

namespace zevaver {

// <config home>/autostart/zevaver-midi-keyboard.desktop.
[[nodiscard]] std::string AutostartFile();
// The entry is there and not switched off.
[[nodiscard]] bool StartsWithSession();
// Writes the entry for the program at this path, or removes it; false when that failed.
[[nodiscard]] bool SetStartsWithSession(bool on, const std::string& programPath);

} // namespace zevaver

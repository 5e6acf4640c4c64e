// Desktop entries (the freedesktop.org files that desktops read for their menus and for the
// programs to start with the session): the command line of an entry, with its quoting and
// escaping rules, the entry that starts the program with the session, and whether a user's
// entry of that kind is switched off.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace zevaver {

// The name of the program's entries (menu and session start), without ".desktop".
inline constexpr std::string_view DesktopEntryName = "zevaver-midi-keyboard";

// The value of an entry's Exec key that runs these arguments (the program first): each
// argument quoted where it holds a character the rules reserve, "%" doubled, and the value
// escaped as every string value of an entry is.
[[nodiscard]] std::string DesktopExecValue(const std::vector<std::string>& arguments);

// The entry that starts the program at the given path with the session, in the background.
[[nodiscard]] std::string AutostartEntry(const std::string& programPath);

// Whether an entry starts its program with the session: not when the user (or the desktop's
// settings, on the user's behalf) has hidden it or switched it off.
[[nodiscard]] bool AutostartEnabled(std::string_view entryText);

} // namespace zevaver

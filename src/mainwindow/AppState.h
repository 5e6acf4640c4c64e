// Program-wide state of the main window that other parts read: whether the program sits
// in the notification area, and which idle icon stands for the playing switch.
#pragma once

#include <string>

// True while the program sits in the notification area; drawing is skipped meanwhile.
extern bool Minimized;

// The idle icon's tray name: "TRAYICON" while playing is enabled, "TRAYDISABLED" when not.
extern std::string IconName;

// Stores the playing switch and picks the idle icon for it; shows nothing itself.
void SetEnabledState(bool value);

// True when the first command-line argument asks for a start in the notification area:
// "/M" in any letter case. Later arguments are never looked at.
[[nodiscard]] bool StartsMinimized(int argc, const char* const* argv);

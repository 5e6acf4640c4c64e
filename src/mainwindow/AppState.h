// The program's state in one object, owned by the application core. The member names are
// the names the rest of the program's description uses (Settings, KeyNotes, SkinConfig,
// Minimized, IconName), so a rule can be followed from there to here.
#pragma once

#include "engine/KeyNotes.h"
#include "engine/Settings.h"
#include "mainwindow/TrayIcons.h"
#include "mainwindow/WindowDrag.h"
#include "skin/SkinConfig.h"

#include <string>
#include <string_view>

namespace zevaver {

struct AppState {
    TSettings Settings;
    KeyNoteTable KeyNotes{};
    TSkinConfig SkinConfig;
    // True while the program sits in the notification area; drawing is skipped meanwhile.
    bool Minimized = false;
    // The idle icon's tray name: "TRAYICON" while playing is enabled, "TRAYDISABLED" when not.
    std::string IconName{icons::TrayEnabled};
    // The title drag or border resize under way (DraggingTitle, Resizing, the resize edges,
    // GrabX and GrabY).
    WindowDrag Drag;
    // True exactly while the settings dialog exists (frmSettings): watched keystrokes then
    // neither play nor fire shortcuts.
    bool SettingsDialogOpen = false;
    // Semitones added to every computer-keyboard note, -36..36; never stored.
    int32_t Transpose = 0;
};

// The idle icon for the playing switch.
[[nodiscard]] std::string_view IdleIconName(bool enabled) noexcept;

// True when the first command-line argument asks for a start in the notification area:
// "/M" in any letter case. Later arguments are never looked at.
[[nodiscard]] bool StartsMinimized(int argc, const char* const* argv);

} // namespace zevaver

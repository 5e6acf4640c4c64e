// The rules of the settings dialog, apart from its window: what a hot-key field's value
// means as a stored shortcut, which layout names the list offers and which one it selects,
// what OK writes into the settings, where the dialog may appear and where the user guide
// lies. No platform header: the numbers the platform defines are repeated here.
#pragma once

#include "engine/Settings.h"
#include "framework/PixelSurface.h"

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace zevaver {

namespace settingsdlg {

// ---- Hot-key field values ----

// A hot-key field's value: low byte the virtual-key code, high byte these modifier flags.
inline constexpr uint32_t HotKeyShift = 0x01;
inline constexpr uint32_t HotKeyControl = 0x02;
inline constexpr uint32_t HotKeyAlt = 0x04;
inline constexpr uint32_t HotKeyExtended = 0x08;

// The field's value as a shortcut value. The extended-key flag is dropped (the watched
// keystroke carries no such bit); a field without a key, cleared or holding modifiers
// only, stores 0, which matches no keystroke.
[[nodiscard]] int32_t ShortcutFromHotKey(uint32_t hotKey) noexcept;
// A shortcut value as the field shows it; bits outside the key code and the three
// modifiers are not shown.
[[nodiscard]] uint32_t HotKeyFromShortcut(int32_t shortcut) noexcept;

// ---- The layout list ----

// The layout name of a file found by "Layouts\*.txt": the name without everything from
// its last ".". Empty for an entry whose name does not end in ".txt" (the platform's
// pattern also matches short-name aliases such as "abc.txtx") or leaves no name.
[[nodiscard]] std::string LayoutNameOf(std::string_view fileName);
// The list's entries: the layout names of the files found, sorted without regard to
// letter case (names equal but for case keep the order found).
[[nodiscard]] std::vector<std::string> LayoutList(const std::vector<std::string>& fileNames);
// The entry to select for the stored layout name, compared without regard to letter
// case; -1 when none is equal (the list then shows empty).
[[nodiscard]] int LayoutIndex(const std::vector<std::string>& list, std::string_view layout);

// ---- OK ----

struct DialogValues {
    std::array<int32_t, ShortcutCount> shortcuts{};
    bool killKeystrokes = true;
    std::string layout; // the list's text; empty when nothing is selected
};

// What the dialog loads at creation.
[[nodiscard]] DialogValues ValuesOf(const TSettings& settings);

// OK: writes the dialog's values into the settings. True when the layout name changed
// (compared exactly, letter case included), so the layout table must be loaded again.
[[nodiscard]] bool ApplyValues(const DialogValues& values, TSettings& settings);

// ---- Placement ----

using ScreenRect = fw::PixelRect; // right and bottom excluded

struct ScreenPoint {
    int x = 0;
    int y = 0;
    friend bool operator==(const ScreenPoint&, const ScreenPoint&) = default;
};

// Where the dialog of this size appears for a stored top-left corner. A corner that puts
// any part of the dialog on one of the monitors is kept as it is; one that puts it on none
// would leave a modal dialog out of sight, so the dialog is centred in the work area of the
// main window's monitor instead.
[[nodiscard]] ScreenPoint DialogPosition(ScreenPoint stored, int width, int height,
                                         const std::vector<ScreenRect>& monitors,
                                         const ScreenRect& mainWorkArea) noexcept;

// ---- The logo ----

// The user guide shipped beside the program, which the logo opens until the program has
// a web page of its own.
inline constexpr std::string_view UserGuideFile = "MIDIKeyboard.html";
// The guide's full path for the program's own path: the guide's name in its folder.
[[nodiscard]] std::string UserGuidePath(std::string_view programPath);

} // namespace settingsdlg

} // namespace zevaver

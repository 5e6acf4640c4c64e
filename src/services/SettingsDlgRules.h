// The rules of the settings dialog, apart from its window: what a hot-key field's value
// means as a stored shortcut, which layout names the list offers and which one it selects,
// what OK writes into the settings, where the dialog may appear and where the user guide
// lies. No platform header: the numbers the platform defines are repeated here.
#pragma once

#include "engine/Settings.h"
#include "framework/PixelSurface.h"
#include "framework/Text.h"

#include <array>
#include <cstdint>
#include <functional>
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
// keystroke carries no such bit); a value without a key is no shortcut and gives 0,
// which matches no keystroke.
[[nodiscard]] int32_t ShortcutFromHotKey(uint32_t hotKey) noexcept;
// A shortcut value as the field shows it; bits outside the key code and the three
// modifiers are not shown.
[[nodiscard]] uint32_t HotKeyFromShortcut(int32_t shortcut) noexcept;

// Shift, Ctrl or Alt, of either side.
[[nodiscard]] bool IsModifierKey(uint32_t virtualKey) noexcept;
// What a shortcut field holds after a key went down in it, from what it held before and
// what it shows now. A key, with modifiers or without, is the new shortcut; a key that
// leaves the field empty (Backspace, Delete) clears it. A modifier pressed on its own is
// only the start of a combination: the field keeps its shortcut, so that Shift+Tab out of
// a field, or Ctrl pressed and let go, never erases it.
[[nodiscard]] uint32_t KeptHotKey(uint32_t held, uint32_t shown, bool modifierKey) noexcept;

// What a platform hot-key field shows after a key went down in it with these modifiers held
// (HotKeyShift...): the key with its modifiers; the modifiers alone for a key the field does
// not take as a shortcut (Backspace, Delete, Space: without modifiers they empty it) and for a
// modifier key itself. Where the platform has no such field (GTK), the dialog's fields follow
// this, so that KeptHotKey gives the same shortcuts everywhere.
[[nodiscard]] uint32_t ShownHotKey(uint32_t virtualKey, uint32_t modifiers) noexcept;
// Tab, Enter and Esc belong to the dialog (the next field, OK, Cancel), never to a field.
[[nodiscard]] bool IsDialogKey(uint32_t virtualKey) noexcept;
// A field's value as text: "Ctrl + Shift + E", the modifiers alone while a combination is
// being typed ("Ctrl + Alt + "), "None" for no shortcut. keyName names a key.
[[nodiscard]] std::string HotKeyText(uint32_t hotKey,
                                     const std::function<std::string(int key)>& keyName);

// The shortcuts without modifiers whose key the layout plays: pressed, they run their
// command and play nothing. The text the dialog shows about them, "" for none. entryOf
// gives a key's layout entry (its place's code, with keys by position), nameOf its name.
[[nodiscard]] std::string PlayingShortcutsWarning(
    const std::array<int32_t, ShortcutCount>& shortcuts, const std::array<uint8_t, 256>& keyNotes,
    const std::function<int(int key)>& entryOf, const std::function<std::string(int key)>& nameOf);

// ---- The layout list ----

// The layout name of a file found by "Layouts\*.txt": the name without everything from
// its last ".". Empty for an entry whose name does not end in ".txt" (the platform's
// pattern also matches short-name aliases such as "abc.txtx") or leaves no name.
[[nodiscard]] std::string LayoutNameOf(std::string_view fileName);
// Compares two names without regard to letter case. The window passes the platform's
// comparisons, which know the letters of every script (names are UTF-8); the defaults
// know ASCII letters only.
using NameLess = bool (*)(std::string_view, std::string_view);
using NameEqual = bool (*)(std::string_view, std::string_view);

// The list's entries: the layout names of the files found, in the order less gives, each
// name once (of names it finds equal, the first found).
[[nodiscard]] std::vector<std::string> LayoutList(const std::vector<std::string>& fileNames,
                                                  NameLess less = &fw::LessNoCase);
// The entry to select for the stored layout name, the first one equal gives as the same
// name; -1 when there is none (the list then shows empty).
[[nodiscard]] int LayoutIndex(const std::vector<std::string>& list, std::string_view layout,
                              NameEqual equal = &fw::EqualNoCase);

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

// Where the dialog of this size appears for a stored top-left corner, among the monitors'
// work areas. A modal dialog is only of use while the user can reach its title bar: a
// corner that leaves the whole title bar (titleHeight pixels from the dialog's top) on one
// work area is kept; any other is moved the shortest way onto the work area nearest the
// dialog (the one it overlaps most, else the closest), the whole dialog in it where it
// fits and its top-left corner in it where it does not.
[[nodiscard]] ScreenPoint DialogPosition(ScreenPoint stored, int width, int height, int titleHeight,
                                         const std::vector<ScreenRect>& workAreas) noexcept;

// ---- The logo ----

// The user guide shipped beside the program, which the logo opens until the program has
// a web page of its own.
inline constexpr std::string_view UserGuideFile = "MIDIKeyboard User Guide.html";
// The guide's full path for the program's own path: the guide's name in its folder.
[[nodiscard]] std::string UserGuidePath(std::string_view programPath);

} // namespace settingsdlg

} // namespace zevaver

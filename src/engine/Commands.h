// The one command table: every user command the menu, the command keys of the focused
// window, the global shortcuts (and later the shortcuts dialog and the tray menu) reach,
// with its menu item, caption, shortcut slot, registry value name, default shortcut,
// command key and handler. A new command is one row here.
#pragma once

#include "engine/VirtualKeys.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>

namespace zevaver {

enum class KeyCommand : uint8_t {
    Enabled,
    C2,
    C3,
    C4,
    C5,
    C6,
    Push,
    ZoomIn,
    ZoomOut,
    Settings,
    Vertical,
    Minimize,
    Close,
    KeyNames,
    EditKeys,
    SaveLayoutAs,
    KeysByPosition,
    RevertLayout,
};

// What the commands do; the main window's menu actions implement it.
struct CommandActions {
    // The item's auto-check has already flipped its mark.
    virtual void EnabledClick() = 0;
    // The base octave as the settings keep it: -24, -12, 0, 12 or 24 for C2..C6.
    virtual void BaseOctaveClick(int32_t baseOctave) = 0;
    virtual void PushClick() = 0;
    virtual void ZoomInClick() = 0;
    virtual void ZoomOutClick() = 0;
    virtual void SettingsClick() = 0;
    // The item's auto-check has already flipped its mark.
    virtual void VerticalClick() = 0;
    virtual void MinimizeClick() = 0;
    virtual void CloseClick() = 0;
    // The item's auto-check has already flipped its mark.
    virtual void KeyNamesClick() = 0;
    // The item's auto-check has already flipped its mark.
    virtual void EditKeysClick() = 0;
    virtual void SaveLayoutAsClick() = 0;
    // The item's auto-check has already flipped its mark.
    virtual void KeysByPositionClick() = 0;
    virtual void RevertLayoutClick() = 0;

protected:
    ~CommandActions() = default;
};

inline constexpr int ShortcutCount = 6;
inline constexpr int NoShortcutSlot = -1;

struct CommandInfo {
    KeyCommand id;
    const char* itemName;          // the menu item's name
    const char* caption;           // the menu item's caption
    int shortcutSlot;              // index into the settings' shortcuts, or NoShortcutSlot
    const char* shortcutValueName; // the shortcut's registry value name; null without a slot
    int32_t defaultShortcut;       // the factory shortcut; 0 for none
    uint16_t commandKey;           // the focused window's key that clicks it; 0 for none
    int32_t tag;                   // the base octave of C2..C6, else 0
    void (*handler)(CommandActions& actions, int32_t tag);
};

namespace commands {
inline void Enabled(CommandActions& a, int32_t) {
    a.EnabledClick();
}
inline void BaseOctave(CommandActions& a, int32_t tag) {
    a.BaseOctaveClick(tag);
}
inline void Push(CommandActions& a, int32_t) {
    a.PushClick();
}
inline void ZoomIn(CommandActions& a, int32_t) {
    a.ZoomInClick();
}
inline void ZoomOut(CommandActions& a, int32_t) {
    a.ZoomOutClick();
}
inline void Settings(CommandActions& a, int32_t) {
    a.SettingsClick();
}
inline void Vertical(CommandActions& a, int32_t) {
    a.VerticalClick();
}
inline void Minimize(CommandActions& a, int32_t) {
    a.MinimizeClick();
}
inline void Close(CommandActions& a, int32_t) {
    a.CloseClick();
}
inline void KeyNames(CommandActions& a, int32_t) {
    a.KeyNamesClick();
}
inline void EditKeys(CommandActions& a, int32_t) {
    a.EditKeysClick();
}
inline void SaveLayoutAs(CommandActions& a, int32_t) {
    a.SaveLayoutAsClick();
}
inline void KeysByPosition(CommandActions& a, int32_t) {
    a.KeysByPositionClick();
}
inline void RevertLayout(CommandActions& a, int32_t) {
    a.RevertLayoutClick();
}
} // namespace commands

// Indexed by KeyCommand. Shortcut values: the key code plus 0x2000 Shift, 0x4000 Ctrl,
// 0x8000 Alt (24645 is Ctrl+Shift+E, 16497 Ctrl+F2).
// clang-format off
inline constexpr std::array<CommandInfo, 18> CommandTable = {{
    {KeyCommand::Enabled, "mnuEnabled", "&Enabled", 0, "Shortcut Switch Enabled", 24645, 0, 0, &commands::Enabled},
    {KeyCommand::C2, "C2", "C&2", 1, "Shortcut Base Octave C2", 16497, vk::F2, -24, &commands::BaseOctave},
    {KeyCommand::C3, "C3", "C&3", 2, "Shortcut Base Octave C3", 16498, vk::F3, -12, &commands::BaseOctave},
    {KeyCommand::C4, "C4", "C&4", 3, "Shortcut Base Octave C4", 16499, vk::F4, 0, &commands::BaseOctave},
    {KeyCommand::C5, "C5", "C&5", 4, "Shortcut Base Octave C5", 16500, vk::F5, 12, &commands::BaseOctave},
    {KeyCommand::C6, "C6", "C&6", 5, "Shortcut Base Octave C6", 16501, vk::F6, 24, &commands::BaseOctave},
    {KeyCommand::Push, "mnuPush", "&Push", NoShortcutSlot, nullptr, 0, vk::Space, 0, &commands::Push},
    {KeyCommand::ZoomIn, "mnuZoomIn", "&In", NoShortcutSlot, nullptr, 0, vk::Add, 0, &commands::ZoomIn},
    {KeyCommand::ZoomOut, "mnuZoomOut", "&Out", NoShortcutSlot, nullptr, 0, vk::Subtract, 0, &commands::ZoomOut},
    {KeyCommand::Settings, "mnuSettings", "Sett&ings...", NoShortcutSlot, nullptr, 0, vk::F9, 0, &commands::Settings},
    {KeyCommand::Vertical, "mnuVertical", "&Vertical", NoShortcutSlot, nullptr, 0, 0, 0, &commands::Vertical},
    {KeyCommand::Minimize, "mnuMinimize", "&Minimize", NoShortcutSlot, nullptr, 0, 0, 0, &commands::Minimize},
    {KeyCommand::Close, "mnuClose", "C&lose", NoShortcutSlot, nullptr, 0, 0, 0, &commands::Close},
    {KeyCommand::KeyNames, "mnuKeyNames", "Key &names", NoShortcutSlot, nullptr, 0, 0, 0, &commands::KeyNames},
    {KeyCommand::EditKeys, "mnuEditKeys", "Edit &keys", NoShortcutSlot, nullptr, 0, 0, 0, &commands::EditKeys},
    {KeyCommand::SaveLayoutAs, "mnuSaveLayoutAs", "Save layout &as...", NoShortcutSlot, nullptr, 0, 0, 0, &commands::SaveLayoutAs},
    {KeyCommand::KeysByPosition, "mnuKeysByPosition", "Keys by &position", NoShortcutSlot, nullptr, 0, 0, 0, &commands::KeysByPosition},
    {KeyCommand::RevertLayout, "mnuRevertLayout", "Revert to s&hipped layout", NoShortcutSlot, nullptr, 0, 0, 0, &commands::RevertLayout},
}};
// clang-format on

[[nodiscard]] constexpr const CommandInfo& Command(KeyCommand id) noexcept {
    return CommandTable[static_cast<std::size_t>(id)];
}

// The command whose shortcut sits in a slot.
[[nodiscard]] constexpr const CommandInfo& ShortcutCommand(int slot) noexcept {
    for (const CommandInfo& command : CommandTable)
        if (command.shortcutSlot == slot) return command;
    return CommandTable.front();
}

[[nodiscard]] constexpr std::array<int32_t, ShortcutCount> DefaultShortcuts() noexcept {
    std::array<int32_t, ShortcutCount> shortcuts{};
    for (int slot = 0; slot < ShortcutCount; ++slot)
        shortcuts[static_cast<std::size_t>(slot)] = ShortcutCommand(slot).defaultShortcut;
    return shortcuts;
}

// The command a key of the focused window clicks.
[[nodiscard]] constexpr std::optional<KeyCommand> CommandForKey(uint16_t key) noexcept {
    if (key == 0) return std::nullopt;
    for (const CommandInfo& command : CommandTable)
        if (command.commandKey == key) return command.id;
    return std::nullopt;
}

// The base-octave command of a stored base octave; only the five known values have one.
[[nodiscard]] constexpr std::optional<KeyCommand>
CommandForBaseOctave(int32_t baseOctave) noexcept {
    for (const CommandInfo& command : CommandTable)
        if (command.handler == &commands::BaseOctave && command.tag == baseOctave)
            return command.id;
    return std::nullopt;
}

static_assert(
    [] {
        for (std::size_t i = 0; i < CommandTable.size(); ++i)
            if (static_cast<std::size_t>(CommandTable[i].id) != i) return false;
        return true;
    }(),
    "the table is indexed by KeyCommand");

} // namespace zevaver

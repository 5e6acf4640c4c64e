#include "services/SettingsDlgRules.h"

#include "engine/VirtualKeys.h"
#include "framework/Paths.h"
#include "framework/ScreenAreas.h"
#include "framework/Text.h"

#include <algorithm>

namespace zevaver {

namespace settingsdlg {

namespace {

constexpr std::string_view LayoutExtension = ".txt";

// The modifiers in both encodings, side by side.
struct ModifierPair {
    uint32_t hotKey;
    int32_t shortcut;
};
constexpr ModifierPair Modifiers[] = {
    {HotKeyShift, ShortcutShift},
    {HotKeyControl, ShortcutCtrl},
    {HotKeyAlt, ShortcutAlt},
};

} // namespace

int32_t ShortcutFromHotKey(uint32_t hotKey) noexcept {
    const auto key = static_cast<int32_t>(hotKey & 0xFF);
    if (key == 0) return 0;
    const uint32_t flags = (hotKey >> 8) & 0xFF;
    int32_t shortcut = key;
    for (const ModifierPair& m : Modifiers)
        if (flags & m.hotKey) shortcut |= m.shortcut;
    return shortcut;
}

uint32_t HotKeyFromShortcut(int32_t shortcut) noexcept {
    uint32_t flags = 0;
    for (const ModifierPair& m : Modifiers)
        if (shortcut & m.shortcut) flags |= m.hotKey;
    return (flags << 8) | (static_cast<uint32_t>(shortcut) & 0xFF);
}

bool IsModifierKey(uint32_t virtualKey) noexcept {
    // Shift, Ctrl and Alt, and the same keys left and right.
    return (virtualKey >= vk::Shift && virtualKey <= vk::Menu) ||
           (virtualKey >= vk::LeftShift && virtualKey <= vk::RightMenu);
}

uint32_t KeptHotKey(uint32_t held, uint32_t shown, bool modifierKey) noexcept {
    shown &= 0xFFFF;
    const bool hasKey = (shown & 0xFF) != 0;
    if (modifierKey || (!hasKey && shown != 0)) return held;
    return shown;
}

uint32_t ShownHotKey(uint32_t virtualKey, uint32_t modifiers) noexcept {
    const uint32_t flags = (modifiers & (HotKeyShift | HotKeyControl | HotKeyAlt)) << 8;
    virtualKey &= 0xFF;
    switch (virtualKey) {
    case vk::Back:
    case vk::Delete:
    case vk::Space:
        return flags;
    default:
        break;
    }
    if (IsModifierKey(virtualKey) || virtualKey == 0) return flags;
    return flags | virtualKey;
}

bool IsDialogKey(uint32_t virtualKey) noexcept {
    return virtualKey == vk::Tab || virtualKey == vk::Return || virtualKey == vk::Escape;
}

std::string HotKeyText(uint32_t hotKey, const std::function<std::string(int key)>& keyName) {
    hotKey &= 0xFFFF;
    if (hotKey == 0) return "None";
    const uint32_t flags = hotKey >> 8;
    std::string text;
    // In the order the platform's field writes them.
    for (const auto& [flag, name] :
         {std::pair{HotKeyControl, "Ctrl"}, std::pair{HotKeyShift, "Shift"},
          std::pair{HotKeyAlt, "Alt"}}) {
        if (!(flags & flag)) continue;
        text += name;
        text += " + ";
    }
    if (const int key = static_cast<int>(hotKey & 0xFF); key != 0) text += keyName(key);
    return text;
}

std::string PlayingShortcutsWarning(const std::array<int32_t, ShortcutCount>& shortcuts,
                                    const std::array<uint8_t, 256>& keyNotes,
                                    const std::function<int(int key)>& entryOf,
                                    const std::function<std::string(int key)>& nameOf) {
    std::vector<int> keys;
    for (const int32_t shortcut : shortcuts) {
        // A bare key: no modifier bit above its code.
        if (shortcut <= 0 || shortcut > 0xFF) continue;
        const int entry = entryOf(shortcut);
        if (entry <= 0 || entry > 255 || keyNotes[static_cast<size_t>(entry)] == 0) continue;
        if (std::find(keys.begin(), keys.end(), shortcut) == keys.end()) keys.push_back(shortcut);
    }
    if (keys.empty()) return {};
    std::string names;
    for (const int key : keys) {
        if (!names.empty()) names += ", ";
        names += nameOf(key);
    }
    return names + (keys.size() == 1 ? " also plays a note: as a shortcut it will not."
                                     : " also play notes: as shortcuts they will not.");
}

std::string LayoutNameOf(std::string_view fileName) {
    if (fileName.size() < LayoutExtension.size() ||
        !fw::EqualNoCase(fileName.substr(fileName.size() - LayoutExtension.size()),
                         LayoutExtension))
        return {};
    return std::string(fileName.substr(0, fileName.rfind('.')));
}

std::vector<std::string> LayoutList(const std::vector<std::string>& fileNames, NameLess less) {
    std::vector<std::string> list;
    for (const std::string& fileName : fileNames) {
        std::string name = LayoutNameOf(fileName);
        if (!name.empty()) list.push_back(std::move(name));
    }
    std::stable_sort(list.begin(), list.end(),
                     [less](const std::string& a, const std::string& b) { return less(a, b); });
    // The user's copy of a shipped layout is the one layout of that name.
    list.erase(std::unique(list.begin(), list.end(),
                           [less](const std::string& a, const std::string& b) {
                               return !less(a, b) && !less(b, a);
                           }),
               list.end());
    return list;
}

int LayoutIndex(const std::vector<std::string>& list, std::string_view layout, NameEqual equal) {
    for (size_t i = 0; i < list.size(); ++i)
        if (equal(list[i], layout)) return static_cast<int>(i);
    return -1;
}

DialogValues ValuesOf(const TSettings& settings) {
    return {settings.Shortcuts, settings.KillKeystrokes, settings.Layout};
}

bool ApplyValues(const DialogValues& values, TSettings& settings) {
    settings.Shortcuts = values.shortcuts;
    settings.KillKeystrokes = values.killKeystrokes;
    if (values.layout == settings.Layout) return false;
    settings.Layout = values.layout;
    return true;
}

ScreenPoint DialogPosition(ScreenPoint stored, int width, int height, int titleHeight,
                           const std::vector<ScreenRect>& workAreas) noexcept {
    // Wide arithmetic: a stored corner may be any 32-bit number.
    const int64_t left = stored.x, top = stored.y;
    const int64_t right = left + width, bottom = top + height;
    const int64_t titleBottom = top + std::clamp(titleHeight, 1, std::max(height, 1));
    const auto holdsTitle = [&](const ScreenRect& a) {
        return left >= a.left && right <= a.right && top >= a.top && titleBottom <= a.bottom;
    };
    if (workAreas.empty() || std::any_of(workAreas.begin(), workAreas.end(), holdsTitle))
        return stored;

    const ScreenRect* nearest = fw::BestArea(left, top, right, bottom, workAreas);
    return {fw::MovedInto(left, width, nearest->left, nearest->right),
            fw::MovedInto(top, height, nearest->top, nearest->bottom)};
}

std::string UserGuidePath(std::string_view programPath) {
    std::string path = fw::PathBeside(programPath, UserGuideFile);
    return path.empty() ? std::string(UserGuideFile) : path;
}

} // namespace settingsdlg

} // namespace zevaver

#include "services/SettingsDlgRules.h"

#include "framework/Paths.h"
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

std::string LayoutNameOf(std::string_view fileName) {
    if (fileName.size() < LayoutExtension.size() ||
        !fw::EqualNoCase(fileName.substr(fileName.size() - LayoutExtension.size()),
                         LayoutExtension))
        return {};
    return std::string(fileName.substr(0, fileName.rfind('.')));
}

std::vector<std::string> LayoutList(const std::vector<std::string>& fileNames) {
    std::vector<std::string> list;
    for (const std::string& fileName : fileNames) {
        std::string name = LayoutNameOf(fileName);
        if (!name.empty()) list.push_back(std::move(name));
    }
    std::stable_sort(list.begin(), list.end(), fw::LessNoCase);
    return list;
}

int LayoutIndex(const std::vector<std::string>& list, std::string_view layout) {
    for (size_t i = 0; i < list.size(); ++i)
        if (fw::EqualNoCase(list[i], layout)) return static_cast<int>(i);
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

ScreenPoint DialogPosition(ScreenPoint stored, int width, int height,
                           const std::vector<ScreenRect>& monitors,
                           const ScreenRect& mainWorkArea) noexcept {
    // Wide arithmetic: a stored corner may be any 32-bit number.
    const long long left = stored.x, top = stored.y;
    const long long right = left + width, bottom = top + height;
    if (fw::OverlapsAny(left, top, right, bottom, monitors)) return stored;
    // A dialog larger than the work area keeps its title bar in reach.
    return {std::max(mainWorkArea.left,
                     mainWorkArea.left + (mainWorkArea.right - mainWorkArea.left - width) / 2),
            std::max(mainWorkArea.top,
                     mainWorkArea.top + (mainWorkArea.bottom - mainWorkArea.top - height) / 2)};
}

std::string UserGuidePath(std::string_view programPath) {
    std::string path = fw::PathBeside(programPath, UserGuideFile);
    return path.empty() ? std::string(UserGuideFile) : path;
}

} // namespace settingsdlg

} // namespace zevaver

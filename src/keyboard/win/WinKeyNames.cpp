#include "keyboard/win/WinKeyNames.h"

#include "framework/win/WidePath.h"
#include "keyboard/KeyNames.h"
#include "keyboard/KeyPositions.h"

#include <windows.h>

namespace zevaver {

namespace {

// Keys whose scan code comes with the extended prefix: without it the system names the
// numeric-pad key that shares the scan code.
bool IsExtendedKey(UINT key) noexcept {
    switch (key) {
    case VK_INSERT:
    case VK_DELETE:
    case VK_HOME:
    case VK_END:
    case VK_PRIOR:
    case VK_NEXT:
    case VK_LEFT:
    case VK_UP:
    case VK_RIGHT:
    case VK_DOWN:
    case VK_NUMLOCK:
    case VK_DIVIDE:
    case VK_RCONTROL:
    case VK_RMENU:
    case VK_LWIN:
    case VK_RWIN:
    case VK_APPS:
    case VK_SNAPSHOT:
        return true;
    default:
        return false;
    }
}

// What the key types without Shift, as its key top shows it: letters in upper case.
std::string Character(UINT key, HKL layout) {
    // The top bit marks a dead key (an accent that waits for a letter); the accent itself
    // is what the key shows.
    const UINT mapped = MapVirtualKeyExW(key, MAPVK_VK_TO_CHAR, layout) & 0xFFFFu;
    if (mapped == 0) return {};
    wchar_t text[2] = {static_cast<wchar_t>(mapped), 0};
    if (IsCharAlphaW(text[0])) CharUpperBuffW(text, 1);
    return fw::WideToUtf8(text);
}

std::string SystemName(UINT key, HKL layout) {
    const UINT scanCode = MapVirtualKeyExW(key, MAPVK_VK_TO_VSC, layout);
    if (scanCode == 0) return {};
    LONG keyData = static_cast<LONG>((scanCode & 0xFFu) << 16);
    if (IsExtendedKey(key)) keyData |= 1L << 24;
    wchar_t name[64] = {};
    const int length = GetKeyNameTextW(keyData, name, static_cast<int>(std::size(name)));
    return length > 0 ? fw::WideToUtf8(std::wstring_view(name, static_cast<size_t>(length)))
                      : std::string();
}

// The key the user's layout has in the place whose US English code this is; the code
// itself where the place is not known, or for the number pad, which every layout lays out
// alike (and whose keys the system would name by their Num Lock-off meaning).
UINT KeyInPlace(int usKey, HKL layout) noexcept {
    const bool numberPad = usKey >= VK_NUMPAD0 && usKey <= VK_DIVIDE;
    const KeyPosition place = UsKeyPosition(static_cast<uint16_t>(usKey));
    if (numberPad || place.scanCode == 0) return static_cast<UINT>(usKey);
    const UINT scanCode = place.scanCode | (place.extended ? 0xE000u : 0u);
    const UINT key = MapVirtualKeyExW(scanCode, MAPVK_VSC_TO_VK_EX, layout);
    return key != 0 ? key : static_cast<UINT>(usKey);
}

} // namespace

std::string SystemKeyCaption(int entry, bool byPosition) {
    if (entry <= 2 || entry > 255) return KeyCaption(entry, {});
    const HKL layout = GetKeyboardLayout(0);
    const UINT key = byPosition ? KeyInPlace(entry, layout) : static_cast<UINT>(entry);
    return KeyCaption(entry, {Character(key, layout), SystemName(key, layout)});
}

} // namespace zevaver

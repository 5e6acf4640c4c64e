#include "services/WatchEvents.h"

namespace zevaver {

namespace watch {

uint32_t GenericKeyCode(uint32_t virtualKey) noexcept {
    switch (virtualKey) {
    case VkLeftShift:
    case VkRightShift:
        return VkShift;
    case VkLeftControl:
    case VkRightControl:
        return VkControl;
    case VkLeftMenu:
    case VkRightMenu:
        return VkMenu;
    default:
        return virtualKey;
    }
}

namespace {

bool IsShift(uint32_t virtualKey) noexcept {
    return virtualKey == VkShift || virtualKey == VkLeftShift || virtualKey == VkRightShift;
}

uint32_t ScanCodeOf(const RawKeystroke& keystroke, uint32_t key) noexcept {
    // Only the low byte travels in the message: a code whose low byte is 0 (0x100, or a
    // bare 0xE0 prefix) carries no scan code at all.
    if ((keystroke.scanCode & 0xFF) != 0) return keystroke.scanCode & 0xFF;
    if ((keystroke.mappedScanCode & 0xFF) != 0) return keystroke.mappedScanCode & 0xFF;
    // The player tells the Shift keys apart by scan code alone, so they never go
    // without one even where the platform's map has none.
    if (key == VkRightShift) return RightShiftScanCode;
    if (IsShift(key)) return LeftShiftScanCode;
    return 0;
}

} // namespace

KeyMessage KeyStateTracker::Apply(const RawKeystroke& keystroke) noexcept {
    const uint32_t key =
        keystroke.virtualKey != 0 ? keystroke.virtualKey : keystroke.mappedVirtualKey;
    const bool tracked = key < down_.size();
    const bool wasDown = tracked && down_[key];
    if (tracked) down_[key] = !keystroke.released;

    uint32_t flags = KeyRepeatCountOne | (ScanCodeOf(keystroke, key) << KeyScanCodeShift);
    // Neither Shift key is an extended key; some hooks flag the right one regardless.
    if (keystroke.extended && !IsShift(key)) flags |= KeyExtendedBit;
    // Alt counts as held on its own press but no longer on its release.
    if (AltHeld()) flags |= KeyAltContextBit;
    // As in the platform's own key messages, a release always has the previous-state bit.
    if (wasDown || keystroke.released) flags |= KeyPreviousDownBit;
    if (keystroke.released) flags |= KeyReleaseBit;

    return {static_cast<int32_t>(GenericKeyCode(key)), static_cast<int32_t>(flags)};
}

bool KeyStateTracker::IsDown(uint32_t virtualKey) const noexcept {
    return virtualKey < down_.size() && down_[virtualKey];
}

bool KeyStateTracker::AltHeld() const noexcept {
    return down_[VkMenu] || down_[VkLeftMenu] || down_[VkRightMenu];
}

MouseEvent DecodeMouse(uint32_t wParam, uint32_t lParam) noexcept {
    MouseEvent event;
    // Screen coordinates are signed: a monitor left of or above the primary one lies at
    // negative ones.
    event.x = static_cast<int16_t>(static_cast<uint16_t>(lParam & 0xFFFF));
    event.y = static_cast<int16_t>(static_cast<uint16_t>(lParam >> 16));
    // Low four bits of mouse move (0x200) up to middle double-click (0x209); the rest,
    // wheel messages among them, count as a left press.
    switch (wParam & 0xF) {
    case 0:
        event.action = MouseAction::Move;
        break;
    case 1:
        event.action = MouseAction::Down;
        break;
    case 2:
        event.action = MouseAction::Up;
        break;
    case 3:
        event.action = MouseAction::Down;
        event.doubleClick = true;
        break;
    case 4:
        event.action = MouseAction::Down;
        event.button = MouseButton::Right;
        break;
    case 5:
        event.action = MouseAction::Up;
        event.button = MouseButton::Right;
        break;
    case 6:
        event.action = MouseAction::Down;
        event.button = MouseButton::Right;
        event.doubleClick = true;
        break;
    case 7:
        event.action = MouseAction::Down;
        event.button = MouseButton::Middle;
        break;
    case 8:
        event.action = MouseAction::Up;
        event.button = MouseButton::Middle;
        break;
    case 9:
        event.action = MouseAction::Down;
        event.button = MouseButton::Middle;
        event.doubleClick = true;
        break;
    default:
        event.action = MouseAction::Down;
        break;
    }
    return event;
}

uint32_t MousePositionParam(int32_t x, int32_t y) noexcept {
    return (static_cast<uint32_t>(x) & 0xFFFF) | ((static_cast<uint32_t>(y) & 0xFFFF) << 16);
}

ShellEvent DecodeShellCode(int32_t code) noexcept {
    switch (code) {
    case ShellCodeWindowCreated:
        return ShellEvent::WindowCreated;
    case ShellCodeWindowDestroyed:
        return ShellEvent::WindowDestroyed;
    case ShellCodeActivateShellWindow:
        return ShellEvent::ActivateShellWindow;
    case ShellCodeWindowActivated:
        return ShellEvent::WindowActivated;
    default:
        return ShellEvent::None;
    }
}

int32_t ShellCodeForWinEvent(uint32_t event) noexcept {
    switch (event) {
    case WinEventObjectCreate:
        return ShellCodeWindowCreated;
    case WinEventObjectDestroy:
        return ShellCodeWindowDestroyed;
    case WinEventSystemForeground:
        return ShellCodeWindowActivated;
    default:
        return 0;
    }
}

std::string CutTitle(std::string_view title) {
    return std::string(title.substr(0, MaxTitleLength));
}

bool ActivationFilter::ShouldReport(std::string_view title, bool repeatedEvents) {
    const bool report = repeatedEvents || title != last_;
    last_.assign(title);
    return report;
}

} // namespace watch

} // namespace zevaver

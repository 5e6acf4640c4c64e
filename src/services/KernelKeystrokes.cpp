#include "services/KernelKeystrokes.h"

#include "keyboard/KernelKeys.h"

namespace zevaver {

std::optional<watch::KeyMessage> KernelKeystrokes::Apply(uint32_t xKeyCode,
                                                         bool released) noexcept {
    if (xKeyCode < XKeyCodeOffset) return std::nullopt;
    const KeyPosition place = KernelKeyPosition(xKeyCode - XKeyCodeOffset);
    const uint16_t key = place.scanCode == 0 ? 0 : UsKeyAt(place);
    if (key == 0) return std::nullopt;
    watch::RawKeystroke keystroke;
    keystroke.virtualKey = key;
    keystroke.scanCode = place.scanCode;
    keystroke.extended = place.extended;
    keystroke.released = released;
    return tracker_.Apply(keystroke);
}

bool KernelKeystrokes::IsDown(int32_t virtualKey) const noexcept {
    if (virtualKey < 0 || virtualKey > 255) return false;
    const auto key = static_cast<uint32_t>(virtualKey);
    switch (key) {
    case watch::VkShift:
        return tracker_.IsDown(watch::VkLeftShift) || tracker_.IsDown(watch::VkRightShift);
    case watch::VkControl:
        return tracker_.IsDown(watch::VkLeftControl) || tracker_.IsDown(watch::VkRightControl);
    case watch::VkMenu:
        return tracker_.IsDown(watch::VkLeftMenu) || tracker_.IsDown(watch::VkRightMenu);
    default:
        return tracker_.IsDown(key);
    }
}

} // namespace zevaver

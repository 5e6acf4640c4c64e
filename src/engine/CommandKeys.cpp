#include "engine/CommandKeys.h"

#include <algorithm>

namespace zevaver {

CommandKeyAction CommandKeyDown(uint16_t key, fw::ModifierSet shift, int32_t transpose) noexcept {
    const int32_t step = shift.Ctrl ? 12 : 1;
    CommandKeyAction action;
    switch (key) {
    case vk::PageDown:
        action.transpose = std::max(transpose - step, -MaxTranspose);
        action.consumed = true;
        break;
    case vk::PageUp:
        action.transpose = std::min(transpose + step, MaxTranspose);
        action.consumed = true;
        break;
    case vk::Insert:
        action.transpose = 0;
        break;
    default:
        action.command = CommandForKey(key);
        break;
    }
    return action;
}

} // namespace zevaver

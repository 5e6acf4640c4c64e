// The desktop's monitors, for placing the window where the user can see it.
#pragma once

#include "framework/PixelSurface.h"

#include <vector>

namespace zevaver {

// Each monitor's rectangle in virtual-screen coordinates; the primary one lies at (0, 0).
[[nodiscard]] std::vector<fw::PixelRect> MonitorRects();

} // namespace zevaver

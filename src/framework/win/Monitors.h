// The desktop's monitors, for placing windows where the user can see them.
#pragma once

#include "framework/PixelSurface.h"

#include <vector>

namespace zevaver {

namespace fw {

// Each monitor's rectangle in virtual-screen coordinates; the primary one lies at (0, 0).
[[nodiscard]] std::vector<PixelRect> MonitorRects();
// Each monitor's work area: its rectangle less the taskbar and the bars docked to it.
[[nodiscard]] std::vector<PixelRect> MonitorWorkAreas();

} // namespace fw

} // namespace zevaver

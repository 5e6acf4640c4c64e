#include "framework/win/Monitors.h"

#include <windows.h>

namespace zevaver {

namespace fw {

namespace {

BOOL CALLBACK AddMonitor(HMONITOR, HDC, LPRECT rect, LPARAM data) noexcept {
    try {
        auto* monitors = reinterpret_cast<std::vector<PixelRect>*>(data);
        monitors->push_back({rect->left, rect->top, rect->right, rect->bottom});
    } catch (...) {
        return FALSE;
    }
    return TRUE;
}

} // namespace

std::vector<PixelRect> MonitorRects() {
    std::vector<PixelRect> monitors;
    EnumDisplayMonitors(nullptr, nullptr, &AddMonitor, reinterpret_cast<LPARAM>(&monitors));
    if (monitors.empty())
        monitors.push_back({0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)});
    return monitors;
}

} // namespace fw

} // namespace zevaver

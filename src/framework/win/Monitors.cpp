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

BOOL CALLBACK AddWorkArea(HMONITOR monitor, HDC, LPRECT, LPARAM data) noexcept {
    try {
        MONITORINFO info{sizeof info};
        if (!GetMonitorInfoA(monitor, &info)) return TRUE;
        const RECT& r = info.rcWork;
        reinterpret_cast<std::vector<PixelRect>*>(data)->push_back(
            {r.left, r.top, r.right, r.bottom});
    } catch (...) {
        return FALSE;
    }
    return TRUE;
}

} // namespace

std::vector<PixelRect> MonitorWorkAreas() {
    std::vector<PixelRect> areas;
    EnumDisplayMonitors(nullptr, nullptr, &AddWorkArea, reinterpret_cast<LPARAM>(&areas));
    RECT work{};
    if (areas.empty() && SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0))
        areas.push_back({work.left, work.top, work.right, work.bottom});
    return areas;
}

std::vector<PixelRect> MonitorRects() {
    std::vector<PixelRect> monitors;
    EnumDisplayMonitors(nullptr, nullptr, &AddMonitor, reinterpret_cast<LPARAM>(&monitors));
    if (monitors.empty())
        monitors.push_back({0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)});
    return monitors;
}

} // namespace fw

} // namespace zevaver

#include "mainwindow/win/Monitors.h"

#include <windows.h>

namespace zevaver {

namespace {

BOOL CALLBACK AddMonitor(HMONITOR, HDC, LPRECT rect, LPARAM data) noexcept {
    try {
        auto* monitors = reinterpret_cast<std::vector<fw::PixelRect>*>(data);
        monitors->push_back({rect->left, rect->top, rect->right, rect->bottom});
    } catch (...) {
        return FALSE;
    }
    return TRUE;
}

} // namespace

std::vector<fw::PixelRect> MonitorRects() {
    std::vector<fw::PixelRect> monitors;
    EnumDisplayMonitors(nullptr, nullptr, &AddMonitor, reinterpret_cast<LPARAM>(&monitors));
    if (monitors.empty())
        monitors.push_back({0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)});
    return monitors;
}

} // namespace zevaver

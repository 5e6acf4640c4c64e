#include "framework/win/Dpi.h"

#include "framework/DpiScale.h"

namespace zevaver {

namespace fw {

namespace {

template <typename Function> Function UserFunction(const char* name) noexcept {
    return reinterpret_cast<Function>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("user32.dll"), name)));
}

// The whole desktop's DPI: the only one before Windows 8.1, and the system's own since.
int DesktopDpi() noexcept {
    static const int dpi = [] {
        HDC screen = GetDC(nullptr);
        const int value = screen ? GetDeviceCaps(screen, LOGPIXELSX) : BaseDpi;
        if (screen) ReleaseDC(nullptr, screen);
        return value > 0 ? value : BaseDpi;
    }();
    return dpi;
}

int MonitorDpi(HMONITOR monitor) noexcept {
    // MDT_EFFECTIVE_DPI: the scale the user chose for that monitor.
    using GetDpiForMonitorFn = HRESULT(WINAPI*)(HMONITOR, int, UINT*, UINT*);
    static const auto getDpiForMonitor = [] {
        HMODULE shcore = LoadLibraryExA("shcore.dll", nullptr, 0);
        return shcore ? reinterpret_cast<GetDpiForMonitorFn>(
                            reinterpret_cast<void*>(GetProcAddress(shcore, "GetDpiForMonitor")))
                      : nullptr;
    }();
    UINT x = 0, y = 0;
    if (getDpiForMonitor && getDpiForMonitor(monitor, 0, &x, &y) == S_OK && x > 0)
        return static_cast<int>(x);
    return DesktopDpi();
}

} // namespace

int WindowDpi(HWND window) noexcept {
    using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
    static const auto getDpiForWindow = UserFunction<GetDpiForWindowFn>("GetDpiForWindow");
    if (getDpiForWindow && window) {
        const UINT dpi = getDpiForWindow(window);
        if (dpi != 0) return static_cast<int>(dpi);
    }
    return DesktopDpi();
}

int DpiOfArea(const RECT& area) noexcept {
    return MonitorDpi(MonitorFromRect(&area, MONITOR_DEFAULTTONEAREST));
}

int MetricAtDpi(int index, int dpi) noexcept {
    using GetSystemMetricsForDpiFn = int(WINAPI*)(int, UINT);
    static const auto forDpi = UserFunction<GetSystemMetricsForDpiFn>("GetSystemMetricsForDpi");
    if (forDpi) return forDpi(index, static_cast<UINT>(dpi));
    return MulDiv(GetSystemMetrics(index), dpi, DesktopDpi());
}

} // namespace fw

} // namespace zevaver

#include "mainwindow/win/TrayShell.h"

#include "framework/win/Dpi.h"
#include "framework/win/ShellCalls.h"
#include "framework/win/Window.h"

#include <cstring>
#include <utility>

namespace zevaver {

namespace {

BOOL DefaultNotifyIcon(DWORD message, NOTIFYICONDATAA* data) noexcept {
    return fw::NotifyIcon(message, data);
}

NotifyIconFunction notifyIcon = &DefaultNotifyIcon;

// Icons come from the program's resources at the sizes the system asks for: the tray's at
// the system's DPI (where the notification area is drawn), the window's at its own screen's
// (the small one for the title bar, 20, 24 or 32 pixels at higher display scaling).
// LR_SHARED hands back the system's one copy of each, which is never destroyed by us.
HICON LoadResourceIcon(const std::string& name, int size) noexcept {
    return static_cast<HICON>(
        LoadImageA(fw::ModuleInstance(), name.c_str(), IMAGE_ICON, size, size, LR_SHARED));
}

} // namespace

NotifyIconFunction SetNotifyIconFunction(NotifyIconFunction function) noexcept {
    return std::exchange(notifyIcon, function ? function : &DefaultNotifyIcon);
}

TrayShell::TrayShell(HWND window, AppCore& core) noexcept
    : window_(window), core_(core), taskbarCreated_(RegisterWindowMessageA("TaskbarCreated")) {}

void TrayShell::TrayIcon(const std::string& trayName, TrayAction action) {
    // The first version of the record: every shell since Windows 95 reads it.
    NOTIFYICONDATAA data{};
    data.cbSize = NOTIFYICONDATAA_V1_SIZE;
    data.hWnd = window_;
    data.uID = IconId;
    data.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    data.uCallbackMessage = CallbackMessage;
    if (action != TrayAction::Delete)
        data.hIcon = Icon(trayName, false, GetSystemMetrics(SM_CXSMICON));
    static_assert(sizeof Tip <= 64, "the first version of the record holds 64 tip bytes");
    std::memcpy(data.szTip, Tip, sizeof Tip);
    // A failure (a modify before the add, a delete of nothing) leaves things as they were.
    (void)notifyIcon(static_cast<DWORD>(action), &data);
}

HICON TrayShell::Icon(const std::string& name, bool large, int size) {
    auto& icons = large ? largeIcons_ : smallIcons_;
    if (const auto found = icons.find(name); found != icons.end()) return found->second;
    HICON icon = LoadResourceIcon(name, size);
    // A name that did not load is tried again next time.
    if (icon) icons.emplace(name, icon);
    return icon;
}

void TrayShell::SetWindowIcon(const std::string& windowName) {
    const int dpi = core_.Scale().Dpi();
    HICON smallIcon = Icon(windowName, false, fw::MetricAtDpi(SM_CXSMICON, dpi));
    HICON largeIcon = Icon(windowName, true, fw::MetricAtDpi(SM_CXICON, dpi));
    if (smallIcon)
        SendMessageA(window_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(smallIcon));
    if (largeIcon) SendMessageA(window_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(largeIcon));
}

void TrayShell::ShowApplicationWindow(bool shown) const {
    // A window minimised by some other route than ours comes back to its normal size.
    if (shown)
        ShowWindow(window_, IsIconic(window_) ? SW_RESTORE : SW_SHOW);
    else
        ShowWindow(window_, SW_HIDE);
}

bool TrayShell::TryHandle(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    if (message == WM_DPICHANGED || message == WM_DISPLAYCHANGE) {
        smallIcons_.clear();
        largeIcons_.clear();
        return false;
    }
    if (message == CallbackMessage) {
        const UINT mouse = LOWORD(lParam);
        if (mouse == WM_LBUTTONDOWN) core_.RestoreFromTray();
        if (mouse == WM_RBUTTONDOWN) core_.ShowPopup();
        result = 0;
        return true;
    }
    if (message == taskbarCreated_ && taskbarCreated_ != 0) {
        core_.Icons().ShellRestarted();
        result = 0;
        return true;
    }
    // The minimise button, the system menu and the skinned minimise button all send
    // this: the program goes to the tray instead of the taskbar.
    if (message == WM_SYSCOMMAND && (wParam & 0xFFF0) == SC_MINIMIZE) {
        core_.MinimizeApplication();
        result = 0;
        return true;
    }
    // Minimised by another route (another program's ShowWindow): the same, and the
    // window's own size handling still runs.
    if (message == WM_SIZE && wParam == SIZE_MINIMIZED) core_.MinimizeApplication();
    return false;
}

} // namespace zevaver

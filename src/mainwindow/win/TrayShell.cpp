#include "mainwindow/win/TrayShell.h"

#include "framework/win/Window.h"

#include <cstring>
#include <utility>

namespace {

BOOL DefaultNotifyIcon(DWORD message, NOTIFYICONDATAA* data) noexcept {
    return Shell_NotifyIconA(message, data);
}

NotifyIconFunction notifyIcon = &DefaultNotifyIcon;

// Icons come from the program's resources at the sizes the system asks for (the small one
// for the tray and the title bar; at higher display scaling that is 20, 24 or 32 pixels).
// LR_SHARED hands back the system's one copy of each, which is never destroyed by us.
HICON LoadResourceIcon(const std::string& name, int widthMetric, int heightMetric) noexcept {
    return static_cast<HICON>(LoadImageA(fw::ModuleInstance(), name.c_str(), IMAGE_ICON,
                                         GetSystemMetrics(widthMetric),
                                         GetSystemMetrics(heightMetric), LR_SHARED));
}

} // namespace

NotifyIconFunction SetNotifyIconFunction(NotifyIconFunction function) noexcept {
    return std::exchange(notifyIcon, function ? function : &DefaultNotifyIcon);
}

TrayShell::TrayShell(HWND window, Actions actions, bool& minimized, const std::string& iconName)
    : window_(window), actions_(std::move(actions)), icons_(*this, minimized, iconName),
      taskbarCreated_(RegisterWindowMessageA("TaskbarCreated")) {}

void TrayShell::TrayIcon(const std::string& trayName, TrayAction action) {
    // The first version of the record: every shell since Windows 95 reads it.
    NOTIFYICONDATAA data{};
    data.cbSize = NOTIFYICONDATAA_V1_SIZE;
    data.hWnd = window_;
    data.uID = IconId;
    data.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    data.uCallbackMessage = CallbackMessage;
    if (action != TrayAction::Delete)
        data.hIcon = LoadResourceIcon(trayName, SM_CXSMICON, SM_CYSMICON);
    static_assert(sizeof Tip <= 64, "the first version of the record holds 64 tip bytes");
    std::memcpy(data.szTip, Tip, sizeof Tip);
    // A failure (a modify before the add, a delete of nothing) leaves things as they were.
    (void)notifyIcon(static_cast<DWORD>(action), &data);
}

void TrayShell::SetWindowIcon(const std::string& windowName) {
    // The small icon for the title bar, the large one for the taskbar and Alt+Tab.
    HICON small = LoadResourceIcon(windowName, SM_CXSMICON, SM_CYSMICON);
    HICON large = LoadResourceIcon(windowName, SM_CXICON, SM_CYICON);
    if (small) SendMessageA(window_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(small));
    if (large) SendMessageA(window_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(large));
}

void TrayShell::SetBlinkTimer(bool running) {
    if (running)
        SetTimer(window_, BlinkTimerId, TrayIcons::BlinkInterval, nullptr);
    else
        KillTimer(window_, BlinkTimerId);
}

void TrayShell::ShowApplicationWindow(bool shown) {
    // A window minimised by some other route than ours comes back to its normal size.
    if (shown)
        ShowWindow(window_, IsIconic(window_) ? SW_RESTORE : SW_SHOW);
    else
        ShowWindow(window_, SW_HIDE);
}

void TrayShell::ShowTrayLook(bool inTray) {
    if (actions_.showTrayLook) actions_.showTrayLook(inTray);
}

void TrayShell::IconBoxChanged() {
    if (actions_.iconBoxChanged) actions_.iconBoxChanged();
}

bool TrayShell::TryHandle(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) noexcept {
    try {
        if (message == WM_TIMER && wParam == BlinkTimerId) {
            icons_.BlinkTimerTimer();
            result = 0;
            return true;
        }
        if (message == CallbackMessage) {
            const UINT mouse = LOWORD(lParam);
            if (mouse == WM_LBUTTONDOWN && actions_.restoreFromTray) actions_.restoreFromTray();
            if (mouse == WM_RBUTTONDOWN && actions_.popupAtCursor) actions_.popupAtCursor();
            result = 0;
            return true;
        }
        if (message == taskbarCreated_ && taskbarCreated_ != 0) {
            icons_.ShellRestarted();
            result = 0;
            return true;
        }
        // The minimise button, the system menu and the skinned minimise button all send
        // this: the program goes to the tray instead of the taskbar.
        if (message == WM_SYSCOMMAND && (wParam & 0xFFF0) == SC_MINIMIZE) {
            icons_.Minimize();
            result = 0;
            return true;
        }
        // Minimised by another route (another program's ShowWindow): the same, after the
        // window has had its say.
        if (message == WM_SIZE && wParam == SIZE_MINIMIZED) icons_.Minimize();
    } catch (...) {
        // Nothing may escape into the window procedure; the icons stay as they were.
    }
    return false;
}

// The platform side of the program's icons: the notification-area icon through the
// shell, the window's own icons from the program's resources, the blink timer as a timer
// of the main window, and the messages that come back (timer ticks, clicks on the tray
// icon, the shell's restart, the window's minimise command). The rules are TrayIcons'.
#pragma once

#include "mainwindow/TrayIcons.h"

#include <windows.h>
#include <shellapi.h>

#include <functional>
#include <string>

// The shell call behind the tray icon, replaceable so tests see each record that would
// reach the shell. nullptr restores Shell_NotifyIconA; returns the previous function.
using NotifyIconFunction = BOOL (*)(DWORD message, NOTIFYICONDATAA* data) noexcept;
NotifyIconFunction SetNotifyIconFunction(NotifyIconFunction function) noexcept;

class TrayShell final : private TrayIconsHost {
public:
    static constexpr UINT CallbackMessage = WM_USER + 1; // the tray icon's mouse messages
    static constexpr UINT IconId = 1;
    static constexpr UINT_PTR BlinkTimerId = 1;
    static constexpr char Tip[] = "Zevaver MIDI Keyboard"; // at most 63 characters

    // What the main window does for the icons.
    struct Actions {
        std::function<void(bool inTray)> showTrayLook;
        std::function<void()> iconBoxChanged;
        std::function<void()> restoreFromTray;
        std::function<void()> popupAtCursor;
    };

    // window must outlive this. minimized and iconName are the program's state.
    TrayShell(HWND window, Actions actions, bool& minimized, const std::string& iconName);
    TrayShell(const TrayShell&) = delete;
    TrayShell& operator=(const TrayShell&) = delete;
    ~TrayShell() = default;

    [[nodiscard]] TrayIcons& Icons() noexcept { return icons_; }

    // The main window's messages that belong to the icons: the blink timer, the tray
    // icon's callback, the shell's "TaskbarCreated" and the minimise command, which goes
    // to the tray instead of the taskbar. True when handled, with the result to return.
    bool TryHandle(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) noexcept;

private:
    void TrayIcon(const std::string& trayName, TrayAction action) override;
    void SetWindowIcon(const std::string& windowName) override;
    void SetBlinkTimer(bool running) override;
    void ShowApplicationWindow(bool shown) override;
    void ShowTrayLook(bool inTray) override;
    void IconBoxChanged() override;

    HWND window_;
    Actions actions_;
    TrayIcons icons_;
    UINT taskbarCreated_;
};

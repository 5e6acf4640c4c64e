// The platform side of the program's icons: the notification-area icon through the
// shell, the window's own icons from the program's resources, showing and hiding the
// window, and the messages that come back (clicks on the tray icon, the shell's restart,
// the window's minimise command). Which icon shows when is decided by TrayIcons in the core.
#pragma once

#include "framework/win/Window.h"
#include "mainwindow/AppCore.h"

#include <windows.h>
#include <shellapi.h>

#include <map>
#include <string>

namespace zevaver {

// The shell call behind the tray icon, replaceable so tests see each record that would
// reach the shell. nullptr restores Shell_NotifyIconA; returns the previous function.
using NotifyIconFunction = BOOL (*)(DWORD message, NOTIFYICONDATAA* data) noexcept;
NotifyIconFunction SetNotifyIconFunction(NotifyIconFunction function) noexcept;

class TrayShell final : public fw::MessageHandler {
public:
    static constexpr UINT CallbackMessage = WM_USER + 1; // the tray icon's mouse messages
    static constexpr UINT IconId = 1;
    static constexpr char Tip[] = "Zevaver MIDI Keyboard"; // at most 63 characters

    // window and core must outlive this.
    TrayShell(HWND window, AppCore& core) noexcept;
    TrayShell(const TrayShell&) = delete;
    TrayShell& operator=(const TrayShell&) = delete;
    ~TrayShell() = default;

    void TrayIcon(const std::string& trayName, TrayAction action);
    void SetWindowIcon(const std::string& windowName);
    void ShowApplicationWindow(bool shown) const;

    // The tray icon's callback, the shell's "TaskbarCreated" and the minimise command,
    // which goes to the tray instead of the taskbar.
    bool TryHandle(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

private:
    // The small icon (tray, title bar) or the large one (taskbar, Alt+Tab) of that name, at
    // a size in pixels.
    HICON Icon(const std::string& name, bool large, int size);

    HWND window_;
    AppCore& core_;
    UINT taskbarCreated_;
    // Loaded once per name and size: every blink swaps icons while playing, and a load
    // asks for the metrics and the resource anew. Shared copies, never destroyed by us;
    // forgotten when the display scaling changes the sizes.
    std::map<std::string, HICON> smallIcons_;
    std::map<std::string, HICON> largeIcons_;
};

} // namespace zevaver

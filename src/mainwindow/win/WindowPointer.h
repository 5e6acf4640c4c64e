// The Win32 side of the pointer over a bitmap skin's window (ChromePointer holds the rules):
// the window's pointer messages become the chrome's presses, moves and releases, and the
// chrome's wishes become Win32 calls. The window holds the pointer (SetCapture) from a press
// outside the keyboard to its release, so a drag released outside the window ends properly;
// when the pointer is lost before the release (another window takes it or comes to the
// front, or the release is missed), the press ends as if released outside.
#pragma once

#include <windows.h>

#include "framework/win/Window.h"
#include "mainwindow/AppCore.h"
#include "mainwindow/ChromePointer.h"

namespace zevaver {

class TWindowPointer final : public fw::MessageHandler, private PointerWindow {
public:
    TWindowPointer(HWND window, AppCore& core) noexcept : window_(window), chrome_(*this, core) {}

    // The window's pointer messages; true when handled here (result set), false to leave
    // the message to the keyboard and the default handling.
    bool TryHandle(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

    // System-wide pointer events, screen coordinates: they reach the captured chrome
    // control while the main window is active.
    void KeyWatchMouseMove(int x, int y);
    void KeyWatchMouseUp(int x, int y);

private:
    // PointerWindow.
    [[nodiscard]] ClientSize ClientArea() override;
    [[nodiscard]] fw::PixelRect ScreenBounds() override;
    void MoveWindow(int left, int top) override;
    void SizeWindow(const fw::PixelRect& bounds) override;
    void ShowCursor(ResizeCursor cursor) override;
    // The mouse hook reports every move and release; the chrome ignores them unless a
    // control is captured.
    void WatchPointer(bool) override {}
    [[nodiscard]] bool Active() override { return GetForegroundWindow() == window_; }
    void HoldPointer() override { SetCapture(window_); }
    void ReleasePointer() override;

    HWND window_;
    ChromePointer chrome_;
    ResizeCursor cursor_ = ResizeCursor::Arrow; // shown again on WM_SETCURSOR
};

} // namespace zevaver

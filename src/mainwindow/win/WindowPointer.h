// The pointer over a bitmap skin's window, which has no platform frame: the title drags
// the window, the border strip resizes it, and presses elsewhere outside the keyboard go
// to the chrome controls. A pressed button or a dragged fader then follows the pointer
// wherever it goes, through the system-wide pointer events and through the window's own
// hold on the pointer, so a drag released outside the window ends properly; when the
// pointer is lost before the release (another window takes it or comes to the front, or
// the release is missed), the press ends as if released outside.
#pragma once

#include <windows.h>

#include "framework/PixelSurface.h"
#include "framework/win/Window.h"
#include "mainwindow/AppCore.h"

namespace zevaver {

class TWindowPointer final : public fw::MessageHandler {
public:
    TWindowPointer(HWND window, AppCore& core) noexcept : window_(window), core_(core) {}

    // The window's pointer messages; true when handled here (result set), false to leave
    // the message to the keyboard and the default handling.
    bool TryHandle(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

    // System-wide pointer events, screen coordinates: they reach the captured chrome
    // control while the main window is active.
    void KeyWatchMouseMove(int x, int y);
    void KeyWatchMouseUp(int x, int y);

private:
    void FormMouseDown(int x, int y);
    void FormMouseMove(int x, int y);
    void FormMouseUp(int x, int y);
    void TitleBoxMouseMove();
    // The press ends without its release: drags stop, a captured control lets go as if
    // the button had gone up outside it.
    void LetGo();
    void ShowCursor() const noexcept;

    [[nodiscard]] bool IsBitmapSkin() noexcept;
    // The invisible title image over the title box; empty while it is hidden (a skin
    // without a title has no drag area).
    [[nodiscard]] fw::PixelRect TitleImageRect() noexcept;
    [[nodiscard]] TCtrl* CapturedCtrl() noexcept;
    [[nodiscard]] BorderHit HitTest(int x, int y) noexcept;
    [[nodiscard]] WindowDrag& Drag() noexcept { return core_.State().Drag; }

    HWND window_;
    AppCore& core_;
    ResizeCursor cursor_ = ResizeCursor::Arrow;
    bool holding_ = false; // the window holds the pointer after a press outside the keyboard
};

} // namespace zevaver

// The pointer over a bitmap skin's window, which has no platform frame: the title drags
// the window, the border strip resizes it, and presses elsewhere outside the keyboard go
// to the chrome controls. A pressed button or a dragged fader then follows the pointer
// wherever it goes, through the system-wide pointer events and through the window's own
// hold on the pointer, so a drag released outside the window ends properly.
#pragma once

#include <windows.h>

#include "framework/PixelSurface.h"
#include "mainwindow/WindowDrag.h"

class TCtrlsList;
struct TSkinConfig;

// What the pointer handling needs of the main window.
class TWindowPointerHost {
public:
    [[nodiscard]] virtual bool IsBitmapSkin() const = 0;
    // The keyboard control takes the pointer at this point (client coordinates): it lies on
    // the keyboard, or the keyboard holds the pointer after a press on it.
    [[nodiscard]] virtual bool OnKeyboard(int x, int y) const = 0;
    // The invisible title image over the title box; empty while it is hidden.
    [[nodiscard]] virtual fw::PixelRect TitleImageRect() const = 0;
    [[nodiscard]] virtual TCtrlsList& Ctrls() = 0;
    [[nodiscard]] virtual const TSkinConfig& SkinDescription() const = 0;
    [[nodiscard]] virtual bool IsMainWindowActive() = 0;
    // Lays out and paints the whole window at once, so a border drag shows every step.
    virtual void RepaintNow() = 0;

protected:
    ~TWindowPointerHost() = default;
};

class TWindowPointer {
public:
    TWindowPointer(HWND window, TWindowPointerHost& host) noexcept : window_(window), host_(host) {}

    // The window's pointer messages; true when handled here (result set), false to leave
    // the message to the keyboard routing and the default handling.
    [[nodiscard]] bool TryHandle(UINT message, WPARAM wParam, LPARAM lParam,
                                 LRESULT& result) noexcept;

    // System-wide pointer events, screen coordinates: they reach the captured chrome
    // control while the main window is active.
    void KeyWatchMouseMove(int x, int y) noexcept;
    void KeyWatchMouseUp(int x, int y) noexcept;

    [[nodiscard]] const WindowDrag& Drag() const noexcept { return drag_; }

private:
    void FormMouseDown(int x, int y) noexcept;
    void FormMouseMove(int x, int y) noexcept;
    void FormMouseUp(int x, int y) noexcept;
    void TitleBoxMouseMove() noexcept;
    void ShowCursor() const noexcept;
    [[nodiscard]] bool OnTitleImage(int x, int y) const noexcept;

    HWND window_;
    TWindowPointerHost& host_;
    WindowDrag drag_;
    ResizeCursor cursor_ = ResizeCursor::Arrow;
    bool holding_ = false; // the window holds the pointer after a press outside the keyboard
};

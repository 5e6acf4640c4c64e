// The pointer over a bitmap skin's window, which has no platform frame: the title drags the
// window, the border strip resizes it and presses elsewhere outside the keyboard go to the
// chrome controls (WindowDrag, BorderHitTest, the controls' own rules). A pressed control
// follows the pointer wherever it goes, through the window's hold on the pointer and through
// the system-wide pointer events the input thread watches; when the hold is lost before the
// release, the press ends as if released outside. The platform's part is PointerWindow.
#pragma once

#include "mainwindow/AppCore.h"
#include "mainwindow/WindowDrag.h"

namespace zevaver {

// What the pointer needs of the main window.
class PointerWindow {
public:
    [[nodiscard]] virtual ClientSize ClientArea() = 0;
    // The window's outer rectangle on the screen.
    [[nodiscard]] virtual fw::PixelRect ScreenBounds() = 0;
    virtual void MoveWindow(int left, int top) = 0;
    // New bounds: the window lays itself out for them and shows them before the next step.
    virtual void SizeWindow(const fw::PixelRect& bounds) = 0;
    virtual void ShowCursor(ResizeCursor cursor) = 0;
    // The playing thread watches the pointer while a control holds it.
    virtual void WatchPointer(bool on) = 0;
    [[nodiscard]] virtual bool Active() = 0;
    // From a press outside the keyboard to its end the window holds the pointer, so moves
    // outside it still arrive. Platforms that hold it for the pressed window by themselves
    // leave these be.
    virtual void HoldPointer() {}
    virtual void ReleasePointer() {}
    // Where the platform moves and sizes windows itself (a Wayland compositor, which lets no
    // program place its windows), it takes over from the press on: true when it has.
    [[nodiscard]] virtual bool BeginSystemMove() { return false; }
    [[nodiscard]] virtual bool BeginSystemResize(const ResizeEdges& edges) {
        (void)edges;
        return false;
    }

protected:
    ~PointerWindow() = default;
};

class ChromePointer {
public:
    ChromePointer(PointerWindow& window, AppCore& core) noexcept : window_(window), core_(core) {}

    // The window's own pointer events, client coordinates (the screen's given too); true
    // when handled here, false to leave them to the keyboard.
    [[nodiscard]] bool Press(int x, int y);
    [[nodiscard]] bool Move(int x, int y, ScreenPoint screen, bool leftDown);
    [[nodiscard]] bool Release(int x, int y);
    // The window lost its hold on the pointer, or its activation: no release will come.
    void LetGo();

    // The playing thread's pointer events, screen coordinates.
    void WatchedMove(ScreenPoint screen, bool leftDown);
    void WatchedRelease(ScreenPoint screen);

    [[nodiscard]] bool Holding() const noexcept { return holding_; }
    // Whether the cursor at this client point is the chrome's (the one last shown), not the
    // keyboard's.
    [[nodiscard]] bool OwnsCursor(int x, int y);

private:
    [[nodiscard]] bool IsBitmapSkin() noexcept;
    [[nodiscard]] fw::PixelRect TitleImageRect() noexcept;
    [[nodiscard]] TCtrl* CapturedCtrl() noexcept;
    [[nodiscard]] BorderHit HitTest(int x, int y) noexcept;
    [[nodiscard]] WindowDrag& Drag() noexcept { return core_.State().Drag; }
    void UpdateWatch();

    PointerWindow& window_;
    AppCore& core_;
    bool holding_ = false;
};

} // namespace zevaver

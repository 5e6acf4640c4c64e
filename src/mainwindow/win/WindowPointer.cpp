#include "mainwindow/win/WindowPointer.h"

#include <windowsx.h>

namespace zevaver {

namespace {

LPCSTR CursorName(ResizeCursor cursor) noexcept {
    switch (cursor) {
    case ResizeCursor::NorthWestSE:
        return IDC_SIZENWSE;
    case ResizeCursor::NorthEastSW:
        return IDC_SIZENESW;
    case ResizeCursor::NorthSouth:
        return IDC_SIZENS;
    case ResizeCursor::WestEast:
        return IDC_SIZEWE;
    case ResizeCursor::Arrow:
        break;
    }
    return IDC_ARROW;
}

// The button that presses, as the user has the buttons swapped or not.
bool LeftButtonDown() noexcept {
    const int button = GetSystemMetrics(SM_SWAPBUTTON) ? VK_RBUTTON : VK_LBUTTON;
    return (GetAsyncKeyState(button) & 0x8000) != 0;
}

ScreenPoint PointerPosition() noexcept {
    POINT p{};
    GetCursorPos(&p);
    return {p.x, p.y};
}

} // namespace

bool TWindowPointer::TryHandle(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    const int x = GET_X_LPARAM(lParam), y = GET_Y_LPARAM(lParam);
    switch (message) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK: // a quick second press is a press all the same
        if (!chrome_.Press(x, y)) return false;
        result = 0;
        return true;
    case WM_MOUSEMOVE:
        if (!chrome_.Move(x, y, PointerPosition(), (wParam & MK_LBUTTON) != 0)) return false;
        result = 0;
        return true;
    case WM_LBUTTONUP:
        if (!chrome_.Release(x, y)) return false;
        result = 0;
        return true;
    case WM_CAPTURECHANGED:
        // Another window took the pointer (a menu, a dialog, a message box): no release
        // will come.
        if (reinterpret_cast<HWND>(lParam) != window_) chrome_.LetGo();
        return false; // the keyboard hears of it too
    case WM_ACTIVATE:
        // Another window came to the front while a button was held here.
        if (LOWORD(wParam) == WA_INACTIVE) chrome_.LetGo();
        return false;
    case WM_SETCURSOR: {
        if (LOWORD(lParam) != HTCLIENT || reinterpret_cast<HWND>(wParam) != window_) return false;
        POINT p{};
        GetCursorPos(&p);
        ScreenToClient(window_, &p);
        if (!chrome_.OwnsCursor(p.x, p.y)) return false;
        ShowCursor(cursor_);
        result = TRUE;
        return true;
    }
    default:
        return false;
    }
}

void TWindowPointer::KeyWatchMouseMove(int x, int y) {
    // While the window holds the pointer its own messages bring the release; without the
    // hold only the watch does, and that one was missed when the button is already up.
    chrome_.WatchedMove({x, y}, GetCapture() == window_ || LeftButtonDown());
}

void TWindowPointer::KeyWatchMouseUp(int x, int y) {
    chrome_.WatchedRelease({x, y});
}

ClientSize TWindowPointer::ClientArea() {
    RECT client{};
    GetClientRect(window_, &client);
    return {client.right, client.bottom};
}

fw::PixelRect TWindowPointer::ScreenBounds() {
    RECT r{};
    GetWindowRect(window_, &r);
    return {r.left, r.top, r.right, r.bottom};
}

void TWindowPointer::MoveWindow(int left, int top) {
    SetWindowPos(window_, nullptr, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void TWindowPointer::SizeWindow(const fw::PixelRect& bounds) {
    SetWindowPos(window_, nullptr, bounds.left, bounds.top, bounds.right - bounds.left,
                 bounds.bottom - bounds.top, SWP_NOZORDER | SWP_NOACTIVATE);
    // Every step is shown before the next: the border follows the pointer. What the new
    // size moved was marked for repainting by the resize itself.
    RedrawWindow(window_, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
}

void TWindowPointer::ShowCursor(ResizeCursor cursor) {
    cursor_ = cursor;
    SetCursor(LoadCursorA(nullptr, CursorName(cursor)));
}

void TWindowPointer::ReleasePointer() {
    if (GetCapture() == window_) ReleaseCapture();
}

} // namespace zevaver

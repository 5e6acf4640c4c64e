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

bool TWindowPointer::IsBitmapSkin() noexcept {
    return core_.Skin() != nullptr && !core_.State().SkinConfig.WindowsStyle;
}

fw::PixelRect TWindowPointer::TitleImageRect() noexcept {
    const TSkin* skin = core_.Skin();
    return skin ? skin->TitleDragArea() : fw::PixelRect{};
}

TCtrl* TWindowPointer::CapturedCtrl() noexcept {
    TSkin* skin = core_.Skin();
    return skin ? skin->Chrome().CtrlsList.CapturedCtrl : nullptr;
}

BorderHit TWindowPointer::HitTest(int x, int y) noexcept {
    const TSkinConfig& skin = core_.State().SkinConfig;
    RECT client{};
    GetClientRect(window_, &client);
    return BorderHitTest(x, y, {client.right, client.bottom}, skin.InnerRect, skin.CornerArea,
                         skin.BorderSize);
}

bool TWindowPointer::TryHandle(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    const int x = GET_X_LPARAM(lParam), y = GET_Y_LPARAM(lParam);
    switch (message) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK: // a quick second press is a press all the same
        if (!IsBitmapSkin() || core_.KeyboardTakesPointer(x, y)) return false;
        FormMouseDown(x, y);
        result = 0;
        return true;
    case WM_MOUSEMOVE:
        if (holding_ && !(wParam & MK_LBUTTON)) {
            // The release went somewhere else: the press ends here, as if released outside.
            LetGo();
            if (GetCapture() == window_) ReleaseCapture();
        }
        if (!holding_ && (!IsBitmapSkin() || core_.KeyboardTakesPointer(x, y))) return false;
        FormMouseMove(x, y);
        result = 0;
        return true;
    case WM_LBUTTONUP:
        if (!holding_) return false;
        FormMouseUp(x, y);
        result = 0;
        return true;
    case WM_CAPTURECHANGED:
        // Another window took the pointer (a menu, a dialog, a message box): no release
        // will come.
        if (reinterpret_cast<HWND>(lParam) != window_) LetGo();
        return false; // the keyboard hears of it too
    case WM_ACTIVATE:
        // Another window came to the front while a button was held here.
        if (LOWORD(wParam) == WA_INACTIVE) {
            const bool held = holding_;
            LetGo();
            if (held && GetCapture() == window_) ReleaseCapture();
        }
        return false;
    case WM_SETCURSOR: {
        if (LOWORD(lParam) != HTCLIENT || reinterpret_cast<HWND>(wParam) != window_ ||
            !IsBitmapSkin())
            return false;
        POINT p{};
        GetCursorPos(&p);
        ScreenToClient(window_, &p);
        if (!holding_ && core_.KeyboardTakesPointer(p.x, p.y)) return false;
        ShowCursor();
        result = TRUE;
        return true;
    }
    default:
        return false;
    }
}

void TWindowPointer::FormMouseDown(int x, int y) {
    // The window holds the pointer until the release, so moves outside it still arrive.
    SetCapture(window_);
    holding_ = true;
    const fw::PixelRect title = TitleImageRect();
    if (PointIn(title, x, y)) {
        Drag().TitleDown(x - title.left, y - title.top, title.left, title.top);
        return;
    }
    const BorderHit hit = HitTest(x, y);
    cursor_ = hit.cursor;
    if (hit.resizes) {
        RECT bounds{};
        GetWindowRect(window_, &bounds);
        Drag().BorderDown(hit.edges, x, y, bounds.right - bounds.left, bounds.bottom - bounds.top);
        return;
    }
    core_.Skin()->Chrome().CtrlsList.DispatchMouseDown(x, y);
}

void TWindowPointer::FormMouseMove(int x, int y) {
    if (Drag().DraggingTitle() || (!holding_ && PointIn(TitleImageRect(), x, y))) {
        TitleBoxMouseMove();
        return;
    }
    if (Drag().Resizing()) {
        RECT r{};
        GetWindowRect(window_, &r);
        fw::PixelRect bounds{};
        if (Drag().BorderMove({r.left, r.top, r.right, r.bottom}, PointerPosition(), bounds)) {
            SetWindowPos(window_, nullptr, bounds.left, bounds.top, bounds.right - bounds.left,
                         bounds.bottom - bounds.top, SWP_NOZORDER | SWP_NOACTIVATE);
            // Every step is shown before the next: the border follows the pointer. What the
            // new size moved was marked for repainting by the resize itself.
            RedrawWindow(window_, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
        }
        return;
    }
    if (TCtrl* captured = CapturedCtrl()) {
        captured->MouseMove(x, y);
        return;
    }
    if (!IsBitmapSkin()) return;
    cursor_ = HitTest(x, y).cursor;
    ShowCursor();
}

void TWindowPointer::TitleBoxMouseMove() {
    ScreenPoint topLeft{};
    if (Drag().TitleMove(PointerPosition(), topLeft))
        SetWindowPos(window_, nullptr, topLeft.x, topLeft.y, 0, 0,
                     SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    cursor_ = ResizeCursor::Arrow;
    ShowCursor();
}

void TWindowPointer::FormMouseUp(int x, int y) {
    holding_ = false;
    Drag().TitleUp();
    Drag().BorderUp();
    // The release may already have come through the system-wide events, which leaves
    // nothing captured.
    if (TCtrl* captured = CapturedCtrl()) captured->MouseUp(x, y);
    if (GetCapture() == window_) ReleaseCapture();
}

void TWindowPointer::LetGo() {
    holding_ = false;
    Drag().TitleUp();
    Drag().BorderUp();
    if (TSkin* skin = core_.Skin()) skin->Chrome().CtrlsList.ReleaseCaptured();
}

void TWindowPointer::KeyWatchMouseMove(int x, int y) {
    TCtrl* captured = CapturedCtrl();
    if (!captured || GetForegroundWindow() != window_) return;
    // Without the window's hold on the pointer no release reaches it but through the
    // watch, and that one was missed when the button is already up.
    if (GetCapture() != window_ && !LeftButtonDown()) {
        LetGo();
        return;
    }
    RECT r{};
    GetWindowRect(window_, &r);
    captured->MouseMove(x - r.left, y - r.top);
}

void TWindowPointer::KeyWatchMouseUp(int x, int y) {
    TCtrl* captured = CapturedCtrl();
    if (!captured || GetForegroundWindow() != window_) return;
    RECT r{};
    GetWindowRect(window_, &r);
    captured->MouseUp(x - r.left, y - r.top);
}

void TWindowPointer::ShowCursor() const noexcept {
    SetCursor(LoadCursorA(nullptr, CursorName(cursor_)));
}

} // namespace zevaver

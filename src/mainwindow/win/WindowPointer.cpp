#include "mainwindow/win/WindowPointer.h"

#include "skin/Ctrls.h"
#include "skin/SkinConfig.h"

#include <windowsx.h>

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

ScreenPoint PointerPosition() noexcept {
    POINT p{};
    GetCursorPos(&p);
    return {p.x, p.y};
}

} // namespace

bool TWindowPointer::TryHandle(UINT message, WPARAM wParam, LPARAM lParam,
                               LRESULT& result) noexcept {
    try {
        const int x = GET_X_LPARAM(lParam), y = GET_Y_LPARAM(lParam);
        switch (message) {
        case WM_LBUTTONDOWN:
        case WM_LBUTTONDBLCLK: // a quick second press is a press all the same
            if (!host_.IsBitmapSkin() || host_.OnKeyboard(x, y)) return false;
            FormMouseDown(x, y);
            result = 0;
            return true;
        case WM_MOUSEMOVE:
            if (!holding_ && (!host_.IsBitmapSkin() || host_.OnKeyboard(x, y))) return false;
            FormMouseMove(x, y);
            result = 0;
            return true;
        case WM_LBUTTONUP:
            if (!holding_) return false;
            FormMouseUp(x, y);
            result = 0;
            return true;
        case WM_CAPTURECHANGED:
            // Another window took the pointer (a menu, a message box): no release will come.
            if (holding_ && reinterpret_cast<HWND>(lParam) != window_) {
                holding_ = false;
                drag_.TitleUp();
                drag_.BorderUp();
            }
            return false; // the keyboard routing hears of it too
        case WM_SETCURSOR: {
            if (LOWORD(lParam) != HTCLIENT || !host_.IsBitmapSkin()) return false;
            if (reinterpret_cast<HWND>(wParam) != window_) return false;
            POINT p{};
            GetCursorPos(&p);
            ScreenToClient(window_, &p);
            if (!holding_ && host_.OnKeyboard(p.x, p.y)) return false;
            ShowCursor();
            result = TRUE;
            return true;
        }
        default:
            return false;
        }
    } catch (...) {
        return false;
    }
}

bool TWindowPointer::OnTitleImage(int x, int y) const noexcept {
    return PointIn(host_.TitleImageRect(), x, y);
}

void TWindowPointer::FormMouseDown(int x, int y) noexcept {
    // The window holds the pointer until the release, so moves outside it still arrive.
    SetCapture(window_);
    holding_ = true;
    if (OnTitleImage(x, y)) {
        const fw::PixelRect title = host_.TitleImageRect();
        drag_.TitleDown(x - title.left, y - title.top, title.left, title.top);
        return;
    }
    const TSkinConfig& skin = host_.SkinDescription();
    RECT client{};
    GetClientRect(window_, &client);
    const BorderHit hit = BorderHitTest(x, y, {client.right, client.bottom}, skin.InnerRect,
                                        skin.CornerArea, skin.BorderSize);
    cursor_ = hit.cursor;
    if (hit.resizes) {
        RECT bounds{};
        GetWindowRect(window_, &bounds);
        drag_.BorderDown(hit.edges, x, y, bounds.right - bounds.left, bounds.bottom - bounds.top);
        return;
    }
    host_.Ctrls().DispatchMouseDown(x, y);
}

void TWindowPointer::FormMouseMove(int x, int y) noexcept {
    if (drag_.DraggingTitle() || (!holding_ && OnTitleImage(x, y))) {
        TitleBoxMouseMove();
        return;
    }
    if (drag_.Resizing()) {
        RECT r{};
        GetWindowRect(window_, &r);
        fw::PixelRect bounds{};
        if (drag_.BorderMove({r.left, r.top, r.right, r.bottom}, PointerPosition(), bounds)) {
            SetWindowPos(window_, nullptr, bounds.left, bounds.top, bounds.right - bounds.left,
                         bounds.bottom - bounds.top, SWP_NOZORDER | SWP_NOACTIVATE);
            host_.RepaintNow();
        }
        return;
    }
    if (TCtrl* captured = host_.Ctrls().CapturedCtrl) {
        captured->MouseMove(x, y);
        return;
    }
    if (!host_.IsBitmapSkin()) return;
    const TSkinConfig& skin = host_.SkinDescription();
    RECT client{};
    GetClientRect(window_, &client);
    cursor_ = BorderHitTest(x, y, {client.right, client.bottom}, skin.InnerRect, skin.CornerArea,
                            skin.BorderSize)
                  .cursor;
    ShowCursor();
}

void TWindowPointer::TitleBoxMouseMove() noexcept {
    ScreenPoint topLeft{};
    if (drag_.TitleMove(PointerPosition(), topLeft))
        SetWindowPos(window_, nullptr, topLeft.x, topLeft.y, 0, 0,
                     SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    cursor_ = ResizeCursor::Arrow;
    ShowCursor();
}

void TWindowPointer::FormMouseUp(int x, int y) noexcept {
    holding_ = false;
    drag_.TitleUp();
    drag_.BorderUp();
    // The release may already have come through the system-wide events, which leaves
    // nothing captured.
    if (TCtrl* captured = host_.Ctrls().CapturedCtrl) captured->MouseUp(x, y);
    if (GetCapture() == window_) ReleaseCapture();
}

void TWindowPointer::KeyWatchMouseMove(int x, int y) noexcept {
    try {
        TCtrl* captured = host_.Ctrls().CapturedCtrl;
        if (!captured || !host_.IsMainWindowActive()) return;
        RECT r{};
        GetWindowRect(window_, &r);
        captured->MouseMove(x - r.left, y - r.top);
    } catch (...) {
    }
}

void TWindowPointer::KeyWatchMouseUp(int x, int y) noexcept {
    try {
        TCtrl* captured = host_.Ctrls().CapturedCtrl;
        if (!captured || !host_.IsMainWindowActive()) return;
        RECT r{};
        GetWindowRect(window_, &r);
        captured->MouseUp(x - r.left, y - r.top);
    } catch (...) {
    }
}

void TWindowPointer::ShowCursor() const noexcept {
    SetCursor(LoadCursorA(nullptr, CursorName(cursor_)));
}

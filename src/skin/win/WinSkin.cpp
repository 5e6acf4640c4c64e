#include "skin/win/WinSkin.h"

#include "skin/win/SkinDib.h"

#include <commctrl.h>

namespace zevaver {

void TWinSkinShell::Attach(Window window) {
    window_ = std::move(window);
    active_ = window_.handle != nullptr && GetForegroundWindow() == window_.handle;
}

void TWinSkinShell::SetErrorReport(std::function<void(const std::string&)> report) {
    onError = std::move(report);
}

HCURSOR TWinSkinShell::KeysCursor() const noexcept {
    HCURSOR cursor = SkinCursor();
    return cursor ? cursor : LoadCursorA(nullptr, IDC_ARROW);
}

bool TWinSkinShell::TryHandle(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    switch (message) {
    case WM_ACTIVATE:
        active_ = LOWORD(wParam) != WA_INACTIVE;
        return false;
    case WM_ACTIVATEAPP:
        active_ = wParam != FALSE;
        if (skin_) {
            if (active_)
                skin_->RefreshChrome();
            else
                skin_->RefreshChromeFromScreen();
        }
        return false;
    case WM_CTLCOLORSTATIC:
        if (!window_.velocity || reinterpret_cast<HWND>(lParam) != window_.velocity) return false;
        if (faderBrush_) {
            SetBkColor(reinterpret_cast<HDC>(wParam), faderColor_);
            result = reinterpret_cast<LRESULT>(faderBrush_.get());
        } else {
            SetBkColor(reinterpret_cast<HDC>(wParam), GetSysColor(COLOR_BTNFACE));
            result = reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE));
        }
        return true;
    case WM_SETCURSOR: {
        if (LOWORD(lParam) != HTCLIENT || !window_.overKeys) return false;
        POINT cursor{};
        if (!GetCursorPos(&cursor) || !ScreenToClient(window_.handle, &cursor)) return false;
        if (!window_.overKeys(cursor)) return false;
        SetCursor(KeysCursor());
        result = TRUE;
        return true;
    }
    default:
        return false;
    }
}

// --- The window. ---

std::unique_ptr<TSkinBitmap> TWinSkinShell::NewSkinBitmap() {
    return std::make_unique<TSkinDib>();
}

fw::PixelSurface* TWinSkinShell::BackBuffer() {
    surface_ = backBuffer_.Surface();
    return surface_.pixels ? &surface_ : nullptr;
}

void TWinSkinShell::FlushRect(const fw::PixelRect& rect) {
    if (!window_.handle || fw::IsEmpty(rect)) return;
    fw::WindowDc dc(window_.handle);
    backBuffer_.CopyTo(dc.get(), rect.left, rect.top, rect.right - rect.left,
                       rect.bottom - rect.top);
}

void TWinSkinShell::CopyScreenToBackBuffer() {
    fw::WindowDc screen(window_.handle);
    if (screen && backBuffer_.Dc()) {
        BitBlt(backBuffer_.Dc(), 0, 0, backBuffer_.Width(), backBuffer_.Height(), screen.get(), 0,
               0, SRCCOPY);
        backBuffer_.FinishGdi();
    }
}

fw::PixelRect TWinSkinShell::WindowBounds() {
    RECT r{};
    if (window_.handle) GetWindowRect(window_.handle, &r);
    return {r.left, r.top, r.right, r.bottom};
}

bool TWinSkinShell::WindowShown() {
    return window_.handle && IsWindowVisible(window_.handle) && !IsIconic(window_.handle);
}

void TWinSkinShell::PopupMenuAt(int screenX, int screenY) {
    if (window_.popupMenu) window_.popupMenu(POINT{screenX, screenY});
}

void TWinSkinShell::CloseMainWindow() {
    if (window_.handle) PostMessageA(window_.handle, WM_CLOSE, 0, 0);
}

// The same request as the minimise button of a platform frame.
void TWinSkinShell::MinimizeApplication() {
    if (window_.handle) PostMessageA(window_.handle, WM_SYSCOMMAND, SC_MINIMIZE, 0);
}

// The outer rectangle stays where it is; only the frame around the content changes.
void TWinSkinShell::ApplyWindowLook(const TSkinConfig& config, bool trackbarVisible) {
    HWND window = window_.handle;
    if (!window) return;
    constexpr LONG_PTR platformFrame = WS_CAPTION | WS_THICKFRAME;
    LONG_PTR style = GetWindowLongPtrA(window, GWL_STYLE);
    style = config.WindowsStyle ? (style & ~WS_POPUP) | platformFrame
                                : (style & ~platformFrame) | WS_POPUP;
    SetWindowLongPtrA(window, GWL_STYLE, style);
    SetWindowPos(window, nullptr, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);

    faderColor_ = RGBValue(config.FaderColor);
    faderBrush_.reset(config.WindowsStyle ? nullptr : CreateSolidBrush(faderColor_));
    if (HWND velocity = window_.velocity) {
        ShowWindow(velocity, trackbarVisible ? SW_SHOWNA : SW_HIDE);
        SendMessageA(velocity, TBM_SETTICFREQ, static_cast<WPARAM>(config.FaderTicksFrequency), 0);
        InvalidateRect(velocity, nullptr, TRUE);
    }
    SetWindowPos(window, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

} // namespace zevaver

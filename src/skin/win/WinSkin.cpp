#include "skin/win/WinSkin.h"

#include "engine/Settings.h"
#include "mainwindow/AppState.h"
#include "skin/SkinMenu.h"
#include "skin/win/SkinDib.h"

#include <commctrl.h>

#include <algorithm>

// --- Canvas. ---

void TBackBufferCanvas::Draw(const TSkinBitmap& bitmap, const fw::PixelRect& source,
                             const fw::PixelRect& dest) {
    const auto& dib = static_cast<const TSkinDib&>(bitmap);
    if (!dib.Handle() || fw::IsEmpty(source) || fw::IsEmpty(dest)) return;
    const fw::PixelSurface surface = backBuffer_.Surface(); // finishes any GDI drawing first
    if (!surface.pixels) return;
    CopyStretched(surface, dest, dib.Pixels(), source);
}

// --- Loading and applying. ---

TWinSkin::TWinSkin(fw::BackBuffer& backBuffer, std::function<void(POINT)> popupMenu)
    : backBuffer_(backBuffer), popupMenu_(std::move(popupMenu)), canvas_(backBuffer),
      chrome_(*this) {}

void TWinSkin::Attach(HWND window, HWND velocity) noexcept {
    window_ = window;
    velocity_ = velocity;
    active_ = window != nullptr && GetForegroundWindow() == window;
}

void TWinSkin::SetErrorReport(std::function<void(const std::string&)> report) {
    platform_.onError = std::move(report);
}

void TWinSkin::LoadSkin() {
    loader_.LoadSkin(::Settings, ::SkinConfig, chrome_);
}

void TWinSkin::BuildSkinMenu(MainMenu& menu) {
    ::BuildSkinMenu(menu, SkinMenuNames(platform_.SkinFolders()));
}

// The outer rectangle stays where it is; only the frame around the content changes.
void TWinSkin::SetFrame(bool windowsStyle) noexcept {
    constexpr LONG_PTR platformFrame = WS_CAPTION | WS_THICKFRAME;
    LONG_PTR style = GetWindowLongPtrA(window_, GWL_STYLE);
    style =
        windowsStyle ? (style & ~WS_POPUP) | platformFrame : (style & ~platformFrame) | WS_POPUP;
    SetWindowLongPtrA(window_, GWL_STYLE, style);
    SetWindowPos(window_, nullptr, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
}

void TWinSkin::ApplySkin(fw::MenuItem& skinMenu) {
    applyingSkin_ = true;
    CheckSkinItem(skinMenu, ::Settings.Skin);
    TSkinConfig& config = ::SkinConfig;
    const FaderChoice fader = ApplySkinMetrics(config, chrome_);
    if (window_) {
        SetFrame(config.WindowsStyle);
        faderBrush_.reset(config.WindowsStyle ? nullptr
                                              : CreateSolidBrush(RGBValue(config.FaderColor)));
    }
    // The skinned fader takes its rectangle now, and its value from the trackbar.
    if (fader.skinnedFader) {
        chrome_.Fader.UpdateBounds();
        if (velocity_)
            chrome_.Fader.SetFaderValue(
                static_cast<int>(SendMessageA(velocity_, TBM_GETPOS, 0, 0)));
    }
    if (velocity_) {
        ShowWindow(velocity_, fader.trackbarVisible ? SW_SHOWNA : SW_HIDE);
        SendMessageA(velocity_, TBM_SETTICFREQ, static_cast<WPARAM>(config.FaderTicksFrequency), 0);
        InvalidateRect(velocity_, nullptr, TRUE);
    }
    if (window_)
        SetWindowPos(window_, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    applyingSkin_ = false;
}

// --- Drawing. ---

void TWinSkin::Layout(int width, int height, bool vertical) {
    vertical_ = vertical;
    TSkinConfig& config = ::SkinConfig;
    const int B = config.BorderSize;
    config.InnerRect = {B, B, width - B, height - B};
    chrome_.CtrlsList.LayoutCtrls();
}

bool TWinSkin::ChromeVisible() const noexcept {
    return window_ && !::SkinConfig.WindowsStyle && !::Minimized && IsWindowVisible(window_) &&
           !IsIconic(window_);
}

void TWinSkin::PaintChrome() {
    if (::SkinConfig.WindowsStyle) return;
    chrome_.DrawBorder(backBuffer_.Width(), backBuffer_.Height());
    chrome_.CtrlsList.PaintCtrls();
    chrome_.CtrlsList.FlushCtrls();
    FlushFrame();
}

void TWinSkin::FlushFrame() {
    const FrameFlush frame =
        FrameFlushRects(::SkinConfig, backBuffer_.Width(), backBuffer_.Height(), vertical_,
                        chrome_.Fader.TrackHBitmap->Height());
    if (const fw::PixelSurface surface = backBuffer_.Surface(); surface.pixels)
        fw::FillRect(surface, frame.line, fw::RGBValue(0, 0, 0));
    for (const fw::PixelRect& strip : frame.strips) FlushRect(strip);
    FlushRect(frame.line);
}

void TWinSkin::RefreshChrome() {
    if (!ChromeVisible()) return;
    chrome_.CtrlsList.PaintCtrls();
    FlushFrame();
    chrome_.CtrlsList.FlushCtrls();
}

void TWinSkin::RefreshChromeFromScreen() {
    if (!ChromeVisible()) return;
    {
        fw::WindowDc screen(window_);
        if (screen && backBuffer_.Dc())
            BitBlt(backBuffer_.Dc(), 0, 0, backBuffer_.Width(), backBuffer_.Height(), screen.get(),
                   0, 0, SRCCOPY);
    }
    chrome_.CtrlsList.PaintCtrls();
    FlushFrame();
    chrome_.CtrlsList.FlushCtrls();
}

bool TWinSkin::TryHandle(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) noexcept {
    try {
        switch (message) {
        case WM_ACTIVATE:
            active_ = LOWORD(wParam) != WA_INACTIVE;
            return false;
        case WM_ACTIVATEAPP:
            active_ = wParam != FALSE;
            if (active_)
                RefreshChrome();
            else
                RefreshChromeFromScreen();
            return false;
        case WM_CTLCOLORSTATIC:
            if (reinterpret_cast<HWND>(lParam) != velocity_ || !velocity_) return false;
            if (faderBrush_) {
                SetBkColor(reinterpret_cast<HDC>(wParam), RGBValue(::SkinConfig.FaderColor));
                result = reinterpret_cast<LRESULT>(faderBrush_.get());
            } else {
                SetBkColor(reinterpret_cast<HDC>(wParam), GetSysColor(COLOR_BTNFACE));
                result = reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE));
            }
            return true;
        default:
            return false;
        }
    } catch (...) {
        return false;
    }
}

HCURSOR TWinSkin::KeysCursor() const noexcept {
    HCURSOR cursor = platform_.SkinCursor();
    return cursor ? cursor : LoadCursorA(nullptr, IDC_ARROW);
}

// --- What the chrome asks of the window. ---

std::unique_ptr<TSkinBitmap> TWinSkin::NewSkinBitmap() {
    return std::make_unique<TSkinDib>();
}

void TWinSkin::BeginFrame() noexcept {
    framing_ = true;
    pending_ = {};
}

void TWinSkin::EndFrame(HDC windowDc) noexcept {
    framing_ = false;
    if (fw::IsEmpty(pending_) || !windowDc) return;
    backBuffer_.CopyTo(windowDc, pending_.left, pending_.top, pending_.right - pending_.left,
                       pending_.bottom - pending_.top);
}

void TWinSkin::Present(const fw::PixelRect& rect) {
    FlushRect(rect);
}

void TWinSkin::FlushRect(const fw::PixelRect& rect) {
    if (!window_ || fw::IsEmpty(rect) || ::Minimized) return;
    if (framing_) {
        pending_ = fw::IsEmpty(pending_) ? rect
                                         : fw::PixelRect{std::min(pending_.left, rect.left),
                                                         std::min(pending_.top, rect.top),
                                                         std::max(pending_.right, rect.right),
                                                         std::max(pending_.bottom, rect.bottom)};
        return;
    }
    fw::WindowDc dc(window_);
    backBuffer_.CopyTo(dc.get(), rect.left, rect.top, rect.right - rect.left,
                       rect.bottom - rect.top);
}

const TSkinConfig& TWinSkin::Config() const {
    return ::SkinConfig;
}

fw::PixelRect TWinSkin::WindowBounds() const {
    RECT r{};
    if (window_) GetWindowRect(window_, &r);
    return {r.left, r.top, r.right, r.bottom};
}

bool TWinSkin::PlayingEnabled() const {
    return ::Settings.Enabled;
}

void TWinSkin::PopupMenuAt(int screenX, int screenY) {
    if (popupMenu_) popupMenu_(POINT{screenX, screenY});
}

void TWinSkin::CloseMainWindow() {
    if (window_) PostMessageA(window_, WM_CLOSE, 0, 0);
}

// The same request as the minimise button of a platform frame.
void TWinSkin::MinimizeApplication() {
    if (window_) PostMessageA(window_, WM_SYSCOMMAND, SC_MINIMIZE, 0);
}

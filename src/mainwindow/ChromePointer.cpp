#include "mainwindow/ChromePointer.h"

namespace zevaver {

bool ChromePointer::IsBitmapSkin() noexcept {
    return core_.Skin() != nullptr && !core_.State().SkinConfig.WindowsStyle;
}

fw::PixelRect ChromePointer::TitleImageRect() noexcept {
    const TSkin* skin = core_.Skin();
    return skin ? skin->TitleDragArea() : fw::PixelRect{};
}

TCtrl* ChromePointer::CapturedCtrl() noexcept {
    TSkin* skin = core_.Skin();
    return skin ? skin->Chrome().CtrlsList.CapturedCtrl : nullptr;
}

BorderHit ChromePointer::HitTest(int x, int y) noexcept {
    const TSkinConfig& skin = core_.State().SkinConfig;
    return BorderHitTest(x, y, window_.ClientArea(), skin.InnerRect, skin.CornerArea,
                         skin.BorderSize);
}

void ChromePointer::UpdateWatch() {
    window_.WatchPointer(CapturedCtrl() != nullptr);
}

bool ChromePointer::Press(int x, int y) {
    if (!IsBitmapSkin() || core_.KeyboardTakesPointer(x, y)) return false;
    // Before the control hears of the press: a menu it opens takes the pointer away, and
    // that ends the press.
    window_.HoldPointer();
    holding_ = true;
    const fw::PixelRect title = TitleImageRect();
    if (PointIn(title, x, y)) {
        if (window_.BeginSystemMove()) {
            holding_ = false;
            window_.ReleasePointer();
            return true;
        }
        Drag().TitleDown(x - title.left, y - title.top, title.left, title.top);
        return true;
    }
    const BorderHit hit = HitTest(x, y);
    if (hit.resizes && window_.BeginSystemResize(hit.edges)) {
        holding_ = false;
        window_.ReleasePointer();
        return true;
    }
    if (hit.resizes) {
        const fw::PixelRect bounds = window_.ScreenBounds();
        window_.ShowCursor(hit.cursor);
        Drag().BorderDown(hit.edges, x, y, bounds.right - bounds.left, bounds.bottom - bounds.top);
        return true;
    }
    core_.Skin()->Chrome().CtrlsList.DispatchMouseDown(x, y);
    UpdateWatch();
    return true;
}

bool ChromePointer::Move(int x, int y, ScreenPoint screen, bool leftDown) {
    // The release went somewhere else: the press ends here, as if released outside.
    if (holding_ && !leftDown) LetGo();
    if (!holding_ && (!IsBitmapSkin() || core_.KeyboardTakesPointer(x, y))) return false;
    if (Drag().DraggingTitle()) {
        ScreenPoint topLeft{};
        if (Drag().TitleMove(screen, topLeft)) window_.MoveWindow(topLeft.x, topLeft.y);
        window_.ShowCursor(ResizeCursor::Arrow);
        return true;
    }
    if (Drag().Resizing()) {
        fw::PixelRect bounds{};
        if (Drag().BorderMove(window_.ScreenBounds(), screen, bounds)) window_.SizeWindow(bounds);
        return true;
    }
    if (TCtrl* captured = CapturedCtrl()) {
        captured->MouseMove(x, y);
        return true;
    }
    // A skin with the system's frame may have come while the button was held.
    if (!IsBitmapSkin()) return true;
    window_.ShowCursor(!holding_ && PointIn(TitleImageRect(), x, y) ? ResizeCursor::Arrow
                                                                    : HitTest(x, y).cursor);
    return true;
}

bool ChromePointer::Release(int x, int y) {
    if (!holding_) return false;
    holding_ = false;
    Drag().TitleUp();
    Drag().BorderUp();
    // The release may already have come through the playing thread, which leaves nothing
    // captured.
    if (TCtrl* captured = CapturedCtrl()) captured->MouseUp(x, y);
    window_.ReleasePointer();
    UpdateWatch();
    return true;
}

void ChromePointer::LetGo() {
    // Only a hold of the chrome's own is given back: the keyboard holds the pointer too.
    const bool held = holding_;
    holding_ = false;
    Drag().TitleUp();
    Drag().BorderUp();
    if (TSkin* skin = core_.Skin()) skin->Chrome().CtrlsList.ReleaseCaptured();
    UpdateWatch();
    if (held) window_.ReleasePointer();
}

bool ChromePointer::OwnsCursor(int x, int y) {
    return IsBitmapSkin() && (holding_ || !core_.KeyboardTakesPointer(x, y));
}

void ChromePointer::WatchedMove(ScreenPoint screen, bool leftDown) {
    TCtrl* captured = CapturedCtrl();
    if (!captured || !window_.Active()) return;
    if (!leftDown) {
        LetGo();
        return;
    }
    const fw::PixelRect bounds = window_.ScreenBounds();
    captured->MouseMove(screen.x - bounds.left, screen.y - bounds.top);
}

void ChromePointer::WatchedRelease(ScreenPoint screen) {
    TCtrl* captured = CapturedCtrl();
    if (!captured || !window_.Active()) return;
    const fw::PixelRect bounds = window_.ScreenBounds();
    captured->MouseUp(screen.x - bounds.left, screen.y - bounds.top);
    UpdateWatch();
}

} // namespace zevaver

// The main window's side of the pointer handling of a frameless skin: what the title
// drag, the border resize and the chrome controls need to know of the window, and the
// skinned fader writing the velocity trackbar.
#include "mainwindow/win/KeysForm.h"

#include <commctrl.h>

void TKeysForm::ConnectPointer() {
    pointer_ = std::make_unique<TWindowPointer>(Handle(), static_cast<TWindowPointerHost&>(*this));
    keyWatch_->OnMouseMove = [this](TWatch&, int32_t x, int32_t y) {
        pointer_->KeyWatchMouseMove(x, y);
    };
    keyWatch_->OnMouseUp = [this](TWatch&, watch::MouseButton, bool, int32_t x, int32_t y) {
        pointer_->KeyWatchMouseUp(x, y);
    };
    // The trackbar always holds the velocity; the skinned fader only moves it.
    skin_->Chrome().Fader.OnChange = [this](int position) {
        SendMessageA(velocity_.get(), TBM_SETPOS, TRUE, position);
    };
}

bool TKeysForm::IsBitmapSkin() const {
    return !::SkinConfig.WindowsStyle;
}

bool TKeysForm::OnKeyboard(int x, int y) const {
    int kx = 0, ky = 0;
    return midiKeys_ && (keysHaveMouse_ || KeysPoint(x, y, kx, ky));
}

// The title image lies over the title box and is there only in a bitmap skin.
fw::PixelRect TKeysForm::TitleImageRect() const {
    if (::SkinConfig.WindowsStyle) return {};
    return skin_->Chrome().TitleBox.Bounds;
}

TCtrlsList& TKeysForm::Ctrls() {
    return skin_->Chrome().CtrlsList;
}

const TSkinConfig& TKeysForm::SkinDescription() const {
    return ::SkinConfig;
}

void TKeysForm::RepaintNow() {
    RedrawWindow(Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
}

#include "skin/Ctrls.h"

#include <algorithm>

namespace zevaver {

// --- The list. ---

bool TCtrlsList::Contains(const TCtrl* ctrl) const noexcept {
    return std::find(items_.begin(), items_.end(), ctrl) != items_.end();
}

void TCtrlsList::Add(TCtrl* ctrl) {
    if (!Contains(ctrl)) items_.push_back(ctrl);
}

void TCtrlsList::Remove(const TCtrl* ctrl) noexcept {
    std::erase(items_, ctrl);
    if (CapturedCtrl == ctrl) CapturedCtrl = nullptr;
}

void TCtrlsList::DropEmptyCtrls() {
    for (size_t i = items_.size(); i-- > 0;) {
        if (i >= items_.size()) continue;
        TCtrl* ctrl = items_[i];
        if (!ctrl->Bitmap || ctrl->Bitmap->Empty()) ctrl->Hide();
    }
}

// A control may hide itself or others while it is called, so each pass walks a copy.
void TCtrlsList::LayoutCtrls() {
    for (TCtrl* ctrl : std::vector<TCtrl*>(items_)) ctrl->UpdateBounds();
}

void TCtrlsList::PaintCtrls() {
    for (TCtrl* ctrl : std::vector<TCtrl*>(items_)) ctrl->Paint();
}

void TCtrlsList::FlushCtrls() {
    for (TCtrl* ctrl : std::vector<TCtrl*>(items_)) ctrl->Flush();
}

void TCtrlsList::DispatchMouseDown(int x, int y) {
    for (TCtrl* ctrl : std::vector<TCtrl*>(items_))
        if (Contains(ctrl) && PointIn(ctrl->Bounds, x, y)) ctrl->MouseDown(x, y);
}

void TCtrlsList::ReleaseCaptured() {
    if (CapturedCtrl) CapturedCtrl->CaptureLost();
    CapturedCtrl = nullptr;
}

// --- The base control. ---

TCtrl::TCtrl(TCtrlsList& list, TChromeHost& host) : list_(list), host_(host) {
    SetCaptured(false);
    Show();
    Bitmap = NewSkinBitmap();
}

TCtrl::~TCtrl() {
    list_.Remove(this);
}

void TCtrl::Paint() {
    if (Bitmap) host_.Canvas().DrawAt(*Bitmap, Bounds.left, Bounds.top);
}

void TCtrl::Flush() {
    if (!fw::IsEmpty(Bounds)) host_.FlushRect(Bounds);
}

void TCtrl::Show() {
    Shown = true;
    list_.Add(this);
}

// A hidden control cannot hold the pointer: its release would reach nothing.
void TCtrl::Hide() {
    Shown = false;
    if (Captured) CaptureLost();
    list_.Remove(this);
}

void TCtrl::SetShown(bool value) {
    if (value)
        Show();
    else
        Hide();
}

void TCtrl::SetCaptured(bool value) {
    Captured = value;
    if (value)
        list_.CapturedCtrl = this;
    else if (list_.CapturedCtrl == this)
        list_.CapturedCtrl = nullptr;
}

namespace {

int WidthOf(const std::unique_ptr<TSkinBitmap>& bitmap) noexcept {
    return bitmap ? bitmap->Width() : 0;
}

int WindowWidth(const TChromeHost& host) noexcept {
    const fw::PixelRect bounds = host.WindowBounds();
    return bounds.right - bounds.left;
}

} // namespace

// --- Title. ---

TitlePlacement PlaceTitle(const TSkinConfig& config, const fw::PixelRect& bounds, int bitmapWidth,
                          int bitmapHeight, int innerWidth) noexcept {
    const int B = config.BorderSize, iconWidth = config.IconWidth;
    TitlePlacement place{{0, 0, bitmapWidth, bitmapHeight}, bounds};
    if (!config.StretchTitle) {
        place.dest.right = B + iconWidth + bitmapWidth;
        const int boxWidth = bounds.right - B - iconWidth;
        if (boxWidth < bitmapWidth) {
            // Cut on the right rather than squeezed.
            place.source.right = boxWidth;
            place.dest.right = bounds.right;
        }
    }
    if (config.CenterTitle) {
        const int dx = innerWidth / 2 - bitmapWidth / 2 - iconWidth;
        if (dx >= 0) {
            place.dest.left += dx;
            place.dest.right += dx;
        }
    }
    return place;
}

TTitleBox::TTitleBox(TCtrlsList& list, TChromeHost& host)
    : TCtrl(list, host), InactiveBitmap(NewSkinBitmap()), BoxBitmap(NewSkinBitmap()) {}

void TTitleBox::UpdateBounds() {
    const TSkinConfig& config = Config();
    const int B = config.BorderSize, W = WindowWidth(host_);
    Bounds = {B + config.IconWidth, B, W - config.MinimizeWidth - config.CloseWidth - B,
              B + config.TitleHeight};
}

void TTitleBox::Paint() {
    const TSkinConfig& config = Config();
    TChromeCanvas& canvas = host_.Canvas();
    fw::PixelRect bar = config.InnerRect;
    bar.bottom = config.BorderSize + config.TitleHeight;
    canvas.Draw(*BoxBitmap, {0, 0, BoxBitmap->Width(), BoxBitmap->Height()}, bar);

    const TitlePlacement place = PlaceTitle(config, Bounds, Bitmap->Width(), Bitmap->Height(),
                                            config.InnerRect.right - config.InnerRect.left);
    const TSkinBitmap& title = host_.IsMainWindowActive() ? *Bitmap : *InactiveBitmap;
    canvas.Draw(title, place.source, place.dest);
}

// --- Icon. ---

TIconBox::TIconBox(TCtrlsList& list, TChromeHost& host)
    : TCtrl(list, host), BlinkBitmap(NewSkinBitmap()), DisabledBitmap(NewSkinBitmap()) {}

void TIconBox::UpdateBounds() {
    const TSkinConfig& config = Config();
    const int B = config.BorderSize, T = config.TitleHeight;
    Bounds = {B, B, B + T, B + T}; // a square of the title's height, however wide the icon
}

void TIconBox::Paint() {
    const TSkinBitmap& icon = Blinking                 ? *BlinkBitmap
                              : host_.PlayingEnabled() ? *Bitmap
                                                       : *DisabledBitmap;
    host_.Canvas().DrawAt(icon, Bounds.left, Bounds.top);
}

void TIconBox::MouseDown(int, int) {
    const fw::PixelRect window = host_.WindowBounds();
    host_.PopupMenuAt(window.left + Bounds.left, window.top + Bounds.bottom);
}

// --- Buttons. ---

TButtonCtrl::TButtonCtrl(TCtrlsList& list, TChromeHost& host)
    : TCtrl(list, host), DownBitmap(NewSkinBitmap()) {}

void TButtonCtrl::Paint() {
    host_.Canvas().DrawAt(Pressed ? *DownBitmap : *Bitmap, Bounds.left, Bounds.top);
}

void TButtonCtrl::MouseDown(int, int) {
    SetCaptured(true);
    Pressed = true;
    Paint();
    Flush();
}

void TButtonCtrl::MouseMove(int x, int y) {
    if (!Captured) return;
    Pressed = PointIn(Bounds, x, y);
    Paint();
    Flush();
}

// No repaint: a release outside was drawn up by the last move, and a release inside
// closes or minimises the window. A release after the press was lost clicks nothing.
void TButtonCtrl::MouseUp(int x, int y) {
    if (!Captured) return;
    SetCaptured(false);
    Pressed = false;
    if (PointIn(Bounds, x, y)) Click();
}

void TButtonCtrl::CaptureLost() {
    SetCaptured(false);
    Pressed = false;
    if (!Shown) return;
    Paint();
    Flush();
}

void TCloseBtn::UpdateBounds() {
    const int B = Config().BorderSize, T = Config().TitleHeight, W = WindowWidth(host_);
    Bounds = {W - WidthOf(Bitmap) - B, B, W - B, B + T};
}

void TCloseBtn::Click() {
    host_.CloseMainWindow();
}

TMinimizeBtn::TMinimizeBtn(TCtrlsList& list, TChromeHost& host, const TCloseBtn& closeBtn)
    : TButtonCtrl(list, host), closeBtn_(closeBtn) {}

void TMinimizeBtn::UpdateBounds() {
    const int B = Config().BorderSize, T = Config().TitleHeight, W = WindowWidth(host_);
    const int closeWidth = WidthOf(closeBtn_.Bitmap);
    Bounds = {W - WidthOf(Bitmap) - closeWidth - B, B, W - closeWidth - B, B + T};
}

void TMinimizeBtn::Click() {
    host_.MinimizeApplication();
}

} // namespace zevaver

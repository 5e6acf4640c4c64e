#include "skin/Fader.h"

namespace zevaver {

namespace {

BitmapSize SizeOf(const std::unique_ptr<TSkinBitmap>& bitmap) noexcept {
    if (!bitmap || bitmap->Empty()) return {};
    return {bitmap->Width(), bitmap->Height()};
}

} // namespace

TFader::TFader(TCtrlsList& list, TChromeHost& host)
    : TCtrl(list, host), TrackHBitmap(NewSkinBitmap()), ThumbVBitmap(NewSkinBitmap()),
      ThumbHBitmap(NewSkinBitmap()), ThumbVActiveBitmap(NewSkinBitmap()),
      ThumbHActiveBitmap(NewSkinBitmap()), CapLeftBitmap(NewSkinBitmap()),
      CapRightBitmap(NewSkinBitmap()), CapTopBitmap(NewSkinBitmap()),
      CapBottomBitmap(NewSkinBitmap()) {}

FaderImages TFader::Images() const noexcept {
    FaderImages images;
    images.trackV = SizeOf(Bitmap);
    images.trackH = SizeOf(TrackHBitmap);
    images.thumbV = SizeOf(ThumbVBitmap);
    images.thumbH = SizeOf(ThumbHBitmap);
    images.thumbVActive = SizeOf(ThumbVActiveBitmap);
    images.thumbHActive = SizeOf(ThumbHActiveBitmap);
    images.capLeft = SizeOf(CapLeftBitmap);
    images.capRight = SizeOf(CapRightBitmap);
    images.capTop = SizeOf(CapTopBitmap);
    images.capBottom = SizeOf(CapBottomBitmap);
    return images;
}

// The direction is the fader's own field, which the window's orientation sets.
FaderModel& TFader::Model() noexcept {
    model_.IsVertical = IsVertical;
    return model_;
}

const TSkinBitmap& TFader::CurrentThumb() const noexcept {
    if (IsVertical) return model_.Dragging() ? *ThumbVActiveBitmap : *ThumbVBitmap;
    return model_.Dragging() ? *ThumbHActiveBitmap : *ThumbHBitmap;
}

void TFader::ClampThumb() {
    const int value = Model().ClampThumb();
    if (OnChange) OnChange(value);
}

void TFader::UpdateBounds() {
    const fw::PixelRect window = host_.WindowBounds();
    const TSkinConfig& config = Config();
    Model().UpdateBounds(Images(), config.BorderSize, config.TitleHeight,
                         window.right - window.left, window.bottom - window.top,
                         config.Scale.Unit());
    Bounds = model_.Bounds();
}

void TFader::Paint() {
    const FaderImages images = Images();
    const FaderLayout layout = Model().Layout(images);
    TChromeCanvas& canvas = host_.Canvas();
    if (IsVertical) {
        canvas.DrawAt(*CapTopBitmap, layout.firstCap.x, layout.firstCap.y);
        canvas.DrawAt(*CapBottomBitmap, layout.secondCap.x, layout.secondCap.y);
        TileVertical(canvas, layout.tile, *Bitmap);
    } else {
        canvas.DrawAt(*CapLeftBitmap, layout.firstCap.x, layout.firstCap.y);
        canvas.DrawAt(*CapRightBitmap, layout.secondCap.x, layout.secondCap.y);
        TileHorizontal(canvas, layout.tile, *TrackHBitmap);
    }
    canvas.DrawAt(CurrentThumb(), layout.thumb.x, layout.thumb.y);
}

void TFader::MouseDown(int x, int y) {
    SetCaptured(true);
    Model().MouseDown(x, y);
    Paint();
    Flush();
}

void TFader::MouseMove(int x, int y) {
    if (!Captured) return;
    Model().MouseMove(x, y);
    ClampThumb();
    Paint();
    Flush();
}

void TFader::MouseUp(int, int) {
    if (!Captured) return;
    SetCaptured(false);
    model_.MouseUp();
    Paint();
    Flush();
}

// The thumb stays where the last move put it, drawn idle again.
void TFader::CaptureLost() {
    SetCaptured(false);
    model_.MouseUp();
    if (!Shown) return;
    Paint();
    Flush();
}

} // namespace zevaver

#include "skin/Chrome.h"

namespace zevaver {

TSkinChrome::TSkinChrome(TChromeHost& host)
    : BorderBitmap(host.NewSkinBitmap()), TitleBox(CtrlsList, host), IconBox(CtrlsList, host),
      CloseBtn(CtrlsList, host), MinimizeBtn(CtrlsList, host, CloseBtn), Fader(CtrlsList, host),
      host_(host) {}

std::array<SkinBitmapSlot, SkinBitmapCount> TSkinChrome::BitmapSlots() {
    return {{
        {"Border.bmp", BorderBitmap.get()},
        {"Title Active.bmp", TitleBox.Bitmap.get()},
        {"Title Inactive.bmp", TitleBox.InactiveBitmap.get()},
        {"Title Box.bmp", TitleBox.BoxBitmap.get()},
        {"Icon.bmp", IconBox.Bitmap.get()},
        {"Icon Blink.bmp", IconBox.BlinkBitmap.get()},
        {"Icon Disabled.bmp", IconBox.DisabledBitmap.get()},
        {"Close Btn.bmp", CloseBtn.Bitmap.get()},
        {"Close Btn Down.bmp", CloseBtn.DownBitmap.get()},
        {"Minimize Btn.bmp", MinimizeBtn.Bitmap.get()},
        {"Minimize Btn Down.bmp", MinimizeBtn.DownBitmap.get()},
        {"FaderV BG.bmp", Fader.Bitmap.get()},
        {"FaderH BG.bmp", Fader.TrackHBitmap.get()},
        {"FaderV.bmp", Fader.ThumbVBitmap.get()},
        {"FaderH.bmp", Fader.ThumbHBitmap.get()},
        {"FaderV Active.bmp", Fader.ThumbVActiveBitmap.get()},
        {"FaderH Active.bmp", Fader.ThumbHActiveBitmap.get()},
        {"Fader Left.bmp", Fader.CapLeftBitmap.get()},
        {"Fader Right.bmp", Fader.CapRightBitmap.get()},
        {"Fader Top.bmp", Fader.CapTopBitmap.get()},
        {"Fader Bottom.bmp", Fader.CapBottomBitmap.get()},
    }};
}

void TSkinChrome::ShowCtrls() {
    for (TCtrl* ctrl : {static_cast<TCtrl*>(&TitleBox), static_cast<TCtrl*>(&IconBox),
                        static_cast<TCtrl*>(&CloseBtn), static_cast<TCtrl*>(&MinimizeBtn),
                        static_cast<TCtrl*>(&Fader)})
        ctrl->Show();
    CtrlsList.DropEmptyCtrls();
}

void TSkinChrome::DrawBorder(int width, int height) {
    const TSkinBitmap& border = *BorderBitmap;
    if (border.Empty()) return;
    TChromeCanvas& canvas = host_.Canvas();
    for (const BorderPiece& piece :
         BorderPieces(border.Width(), border.Height(), host_.Config().CornerSize, width, height))
        canvas.Draw(border, piece.source, piece.dest);
}

FrameFlush FrameFlushRects(const TSkinConfig& config, int W, int H, bool vertical,
                           int faderTrackHeight) noexcept {
    const int B = config.BorderSize, T = config.TitleHeight;
    // The free column and row beside the content, and the line, are a pixel at 96 DPI.
    const int u = config.Scale.Unit();
    const int lineY = B + T + (vertical ? faderTrackHeight : 0);
    return {
        {{{0, 0, W, B}, {0, B, B + u, H - B}, {W - B - 2 * u, B, W, H - B}, {0, H - B - u, W, H}}},
        {B + u, lineY, W - B - u, lineY + u}};
}

} // namespace zevaver

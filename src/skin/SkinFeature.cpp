#include "skin/SkinFeature.h"

#include "mainwindow/Geometry.h"
#include "skin/SkinMenu.h"

#include <algorithm>

namespace zevaver {

TSkin::TSkin(TSettings& settings, TSkinConfig& config, const bool& minimized, SkinShell& shell)
    : settings_(settings), config_(config), base_(ScaledConfig(config, {})), minimized_(minimized),
      shell_(shell), loader_(shell), chrome_(*this) {}

void TSkin::LoadSkin() {
    loader_.LoadSkin(settings_, base_, chrome_);
    Rescale();
}

// The pointer of a skin already loaded is loaded again at the size for the new scale.
void TSkin::SetScale(const fw::DpiScale& scale) {
    config_.Scale = scale;
    for (const SkinBitmapSlot& slot : chrome_.BitmapSlots()) slot.bitmap->SetScale(scale);
    Rescale();
    shell_.SetCursorDpi(scale.Dpi());
    if (!base_.SkinPath.empty()) loader_.LoadCursor(base_.SkinPath);
}

void TSkin::Rescale() {
    const fw::PixelRect inner = config_.InnerRect;
    config_ = ScaledConfig(base_, config_.Scale);
    config_.InnerRect = inner;
}

void TSkin::BuildSkinMenu(MainMenu& menu) {
    zevaver::BuildSkinMenu(menu, SkinMenuNames(shell_.SkinFolders()));
}

void TSkin::ApplySkin(fw::MenuItem& skinMenu) {
    applyingSkin_ = true;
    CheckSkinItem(skinMenu, settings_.Skin);
    const FaderChoice fader = ApplySkinMetrics(base_, chrome_);
    Rescale();
    shell_.ApplyWindowLook(config_, fader.trackbarVisible);
    if (fader.skinnedFader) chrome_.Fader.UpdateBounds();
    applyingSkin_ = false;
}

void TSkin::Layout(int width, int height, bool vertical) {
    vertical_ = vertical;
    config_.InnerRect = InnerRect({width, height}, config_.BorderSize);
    chrome_.CtrlsList.LayoutCtrls();
}

bool TSkin::ChromeVisible() {
    return !config_.WindowsStyle && !minimized_ && shell_.WindowShown();
}

void TSkin::BeginFrame(const fw::PixelRect& area) noexcept {
    framing_ = true;
    frameArea_ = area;
    pending_ = {};
}

void TSkin::EndFrame() {
    framing_ = false;
    frameArea_ = fw::EverywhereRect;
    if (!fw::IsEmpty(pending_)) shell_.FlushRect(pending_);
}

void TSkin::Present(const fw::PixelRect& rect) {
    FlushRect(rect);
}

void TSkin::FlushRect(const fw::PixelRect& rect) {
    if (fw::IsEmpty(rect) || minimized_) return;
    if (!framing_) {
        shell_.FlushRect(rect);
        return;
    }
    const fw::PixelRect part = fw::Intersect(rect, frameArea_);
    if (fw::IsEmpty(part)) return;
    pending_ = fw::IsEmpty(pending_) ? part
                                     : fw::PixelRect{std::min(pending_.left, part.left),
                                                     std::min(pending_.top, part.top),
                                                     std::max(pending_.right, part.right),
                                                     std::max(pending_.bottom, part.bottom)};
}

void TSkin::Draw(const TSkinBitmap& bitmap, const fw::PixelRect& source,
                 const fw::PixelRect& dest) {
    if (fw::PixelSurface* surface = shell_.BackBuffer())
        CopyStretched(*surface, dest, bitmap.Pixels(), source, frameArea_);
}

void TSkin::PaintChrome() {
    if (config_.WindowsStyle) return;
    const fw::PixelSurface* surface = shell_.BackBuffer();
    if (!surface) return;
    chrome_.DrawBorder(surface->width, surface->height);
    chrome_.CtrlsList.PaintCtrls();
    chrome_.CtrlsList.FlushCtrls();
    FlushFrame();
}

void TSkin::FlushFrame() {
    fw::PixelSurface* surface = shell_.BackBuffer();
    if (!surface) return;
    const FrameFlush frame = FrameFlushRects(config_, surface->width, surface->height, vertical_,
                                             chrome_.Fader.TrackHBitmap->Height());
    fw::FillRect(*surface, fw::Intersect(frame.line, frameArea_), fw::RGBValue(0, 0, 0));
    for (const fw::PixelRect& strip : frame.strips) FlushRect(strip);
    FlushRect(frame.line);
}

void TSkin::RefreshChrome() {
    if (!ChromeVisible()) return;
    chrome_.CtrlsList.PaintCtrls();
    FlushFrame();
    chrome_.CtrlsList.FlushCtrls();
}

void TSkin::RefreshChromeFromScreen() {
    if (!ChromeVisible()) return;
    shell_.CopyScreenToBackBuffer();
    chrome_.CtrlsList.PaintCtrls();
    FlushFrame();
    chrome_.CtrlsList.FlushCtrls();
}

fw::PixelRect TSkin::TitleDragArea() const noexcept {
    const TTitleBox& title = chrome_.TitleBox;
    if (config_.WindowsStyle || !title.Shown) return {};
    return title.Bounds;
}

void TSkin::RepaintIcon() {
    TIconBox& icon = chrome_.IconBox;
    if (!ChromeVisible() || !icon.Shown) return;
    icon.Paint();
    icon.Flush();
}

} // namespace zevaver

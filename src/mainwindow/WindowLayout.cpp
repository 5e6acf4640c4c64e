#include "mainwindow/WindowLayout.h"

#include "mainwindow/AppCore.h"
#include "mainwindow/ResizeDamage.h"

#include <utility>

namespace zevaver {

WindowRect TurnedBounds(const WindowRect& bounds) noexcept {
    return {bounds.left, bounds.top, bounds.height, bounds.width};
}

void WindowLayout::StartAt(const fw::DpiScale& scale) {
    scale_ = scale;
    state_.Drag.SetMinimumSize(MinimumSize());
}

void WindowLayout::Attach(TKeys& keys, TSkin* skin) noexcept {
    keys_ = &keys;
    skin_ = skin;
}

// A window that lies on no monitor goes to the primary screen's bottom-right corner; any
// window then lies wholly within a work area, so no part of the keyboard is out of reach.
void WindowLayout::PlaceWindow(const WindowRect& stored) {
    // A stored size may be anything, a missing value reads as 0.
    const ClientSize minimum = MinimumSize();
    const WindowRect size = AtLeastMinimumSize(stored, minimum);
    const ScreenSize screen = host_.PrimaryScreen();
    const Placement place = CorrectPlacement(size.left, size.top, size.width, size.height,
                                             {screen.Width, screen.Height}, host_.Monitors());
    const WindowRect bounds = KeptInWorkArea({place.left, place.top, size.width, size.height},
                                             host_.WorkAreas(), minimum);
    TSettings& settings = state_.Settings;
    settings.Left = bounds.left;
    settings.Top = bounds.top;
    settings.Width = bounds.width;
    settings.Height = bounds.height;
    settings.Dpi = scale_.Dpi();
    host_.SetWindowBounds(bounds);
    Resized(host_.ClientArea());
}

void WindowLayout::SetScale(const fw::DpiScale& scale) {
    scale_ = scale;
    state_.Drag.SetMinimumSize(MinimumSize());
    if (skin_)
        skin_->SetScale(scale);
    else
        state_.SkinConfig = ScaledConfig(TSkinConfig{}, scale);
}

bool WindowLayout::DpiChanged(int dpi, const WindowRect& suggested, ScreenPoint pointer) {
    const fw::DpiScale scale(dpi);
    if (!keys_ || scale == scale_) return false;
    const WindowRect bounds =
        state_.Drag.ScaleChanged(scale_.Dpi(), scale.Dpi(), suggested, pointer);
    SetScale(scale);
    // Every part of the window moves or changes its size: all of it is painted anew.
    laidOut_ = {};
    host_.SetWindowBounds(bounds);
    Resized(host_.ClientArea());
    host_.Invalidate();
    return true;
}

void WindowLayout::ApplyOrientation() {
    keys_->SetOrientation(state_.Settings.Vertical ? TKeyboardOrientation::Vertical
                                                   : TKeyboardOrientation::Horizontal);
    // The fader runs across the top of a vertical keyboard.
    if (skin_) skin_->Chrome().Fader.IsVertical = !state_.Settings.Vertical;
}

// The layout follows the new size; what it moved is repainted (everything, unless only the
// width of a horizontal keyboard changed).
void WindowLayout::Resized(ClientSize client) {
    if (!keys_ || (skin_ && skin_->ApplyingSkin())) return;
    const bool vertical = state_.Settings.Vertical;
    const TSkinConfig& skin = state_.SkinConfig;
    frame_ = {skin.WindowsStyle, skin.BorderSize, skin.TitleHeight, skin.FaderWidth,
              skin.Scale.Unit()};
    if (skin_) skin_->Layout(client.width, client.height, vertical);
    const WindowRect keys = KeyboardRect(frame_, client, vertical);
    {
        // The keyboard asks for a repaint of all of itself; the damage below is enough.
        const bool wasLayingOut = std::exchange(layingOut_, true);
        keys_->SetBounds(keys.left, keys.top, keys.width, keys.height);
        layingOut_ = wasLayingOut;
    }
    host_.PlaceFader(TrackbarRect(frame_, client, vertical), vertical);
    const WidthDependents depths =
        WidthDependentsOf(frame_, skin.CornerSize, keys_->NoteWidth(), skin.KeysOutlineWidth);
    for (const fw::PixelRect& rect : ResizeDamage(laidOut_, client, vertical, depths))
        host_.InvalidateArea(rect);
    laidOut_ = client;
}

// The turned window stays wholly on its screen: a long keyboard turned upright would
// otherwise reach below it.
void WindowLayout::Turn() {
    const WindowRect bounds = host_.WindowBounds();
    state_.Settings.Vertical = !state_.Settings.Vertical;
    ApplyOrientation();
    const ClientSize minimum = MinimumSize();
    host_.SetWindowBounds(KeptInWorkArea(AtLeastMinimumSize(TurnedBounds(bounds), minimum),
                                         host_.WorkAreas(), minimum));
    Resized(host_.ClientArea());
    host_.Invalidate();
}

void WindowLayout::KeepBounds() {
    TSettings& settings = state_.Settings;
    const WindowRect bounds = host_.WindowBounds();
    settings.Width = bounds.width;
    settings.Height = bounds.height;
    settings.Top = bounds.top;
    settings.Left = bounds.left;
    settings.Dpi = scale_.Dpi();
}

} // namespace zevaver

// The main window's place, size and scale, and where the keyboard, the fader and the skin's
// parts lie within it: the stored window placed on a screen, a move to a screen of another
// DPI, the keyboard turned, and the parts laid out again whenever the size changes.
#pragma once

#include "framework/DpiScale.h"
#include "keyboard/Keys.h"
#include "mainwindow/AppState.h"
#include "mainwindow/Geometry.h"
#include "skin/SkinFeature.h"

namespace zevaver {

class AppHost;

// Turning the keyboard swaps the outer width and height; the top-left corner stays. (The
// window then grows to its minimum size where the swap leaves it short.)
[[nodiscard]] WindowRect TurnedBounds(const WindowRect& bounds) noexcept;

class WindowLayout {
public:
    WindowLayout(AppHost& host, AppState& state) noexcept : host_(host), state_(state) {}

    // The scale the window starts at, before there is a skin or a keyboard to tell.
    void StartAt(const fw::DpiScale& scale);
    // The keyboard, and the skin if there is one: nothing is laid out before they exist.
    void Attach(TKeys& keys, TSkin* skin) noexcept;

    // The scale the window is laid out and drawn at.
    [[nodiscard]] const fw::DpiScale& Scale() const noexcept { return scale_; }
    // The smallest the window may be, at that scale.
    [[nodiscard]] ClientSize MinimumSize() const noexcept { return MinimumWindowSize(scale_); }
    // The parts are being placed now: their own requests to repaint are not needed.
    [[nodiscard]] bool LayingOut() const noexcept { return layingOut_; }

    // The window at its stored place and size (at the current scale), kept on the screen.
    void PlaceWindow(const WindowRect& stored);
    // The window moved onto a screen of another DPI: it takes the bounds the system
    // suggests (held under the pointer while its title is dragged) and is laid out and
    // drawn anew at the new scale. False when the scale stays what it was.
    [[nodiscard]] bool DpiChanged(int dpi, const WindowRect& suggested, ScreenPoint pointer);
    void Resized(ClientSize client);
    // The keyboard and the fader as the settings turn them.
    void ApplyOrientation();
    // Turns the keyboard, and the window with it.
    void Turn();
    // The window's bounds and scale into the settings, to be kept.
    void KeepBounds();

private:
    void SetScale(const fw::DpiScale& scale);

    AppHost& host_;
    AppState& state_;
    TKeys* keys_ = nullptr;
    TSkin* skin_ = nullptr;
    FrameMetrics frame_;
    fw::DpiScale scale_;
    // The client size the layout was last made for, and whether it is being made now.
    ClientSize laidOut_;
    bool layingOut_ = false;
};

} // namespace zevaver

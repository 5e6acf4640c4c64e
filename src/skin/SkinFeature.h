// The skin on the main window, as the application core drives it: loading a skin into the
// description and the chrome, applying it, laying out and painting the chrome of a bitmap
// skin through the back buffer, and redrawing it when the application's activation
// changes. What only the platform can do (files, bitmaps, the pointer, the window's frame
// and band, copies to the screen) is the SkinShell's.
#pragma once

#include "engine/Settings.h"
#include "framework/MenuModel.h"
#include "mainwindow/MainMenu.h"
#include "skin/Chrome.h"
#include "skin/Skin.h"
#include "skin/SkinConfig.h"

#include <memory>

namespace zevaver {

class SkinShell : public SkinPlatform {
public:
    // A new, empty 24-bit skin bitmap.
    [[nodiscard]] virtual std::unique_ptr<TSkinBitmap> NewSkinBitmap() = 0;
    // The window's back buffer, or null while there is none.
    [[nodiscard]] virtual fw::PixelSurface* BackBuffer() = 0;
    // Copies a rectangle of the back buffer to the same place on the window, now.
    virtual void FlushRect(const fw::PixelRect& rect) = 0;
    // Replaces the back buffer with the window's image as it is on the screen.
    virtual void CopyScreenToBackBuffer() = 0;
    // The window's outer rectangle on the screen.
    [[nodiscard]] virtual fw::PixelRect WindowBounds() = 0;
    [[nodiscard]] virtual bool IsMainWindowActive() = 0;
    // The window is on the screen (shown and not minimised).
    [[nodiscard]] virtual bool WindowShown() = 0;
    virtual void PopupMenuAt(int screenX, int screenY) = 0;
    virtual void CloseMainWindow() = 0;
    virtual void MinimizeApplication() = 0;
    // The window part of applying a skin: no frame for a bitmap skin, the sizeable frame
    // with caption for a windows-style one; the standard trackbar shown or hidden, its
    // tick spacing and background; the window put in the topmost band without moving,
    // sizing or activating it.
    virtual void ApplyWindowLook(const TSkinConfig& config, bool trackbarVisible) = 0;

protected:
    ~SkinShell() = default;
};

// The files give every length at 96 DPI, and that is how the skin keeps its description
// while it loads and applies one (a skin carries over what the next does not set); the
// window is laid out and drawn with a copy at the screen's scale, `config`.
class TSkin final : private TChromeHost, private TChromeCanvas {
public:
    // minimized: the program sits in the notification area (nothing is drawn meanwhile).
    TSkin(TSettings& settings, TSkinConfig& config, const bool& minimized, SkinShell& shell);
    TSkin(const TSkin&) = delete;
    TSkin& operator=(const TSkin&) = delete;

    // The skin that Settings.Skin names, "Default" when its folder is missing.
    void LoadSkin();
    // Fills the Skin submenu from the skin folders, once.
    void BuildSkinMenu(MainMenu& menu);
    // Applies SkinConfig: check mark, sizes from the bitmaps, fader choice, window look.
    void ApplySkin(fw::MenuItem& skinMenu);
    // True while ApplySkin runs: the window's resize handling waits for it.
    [[nodiscard]] bool ApplyingSkin() const noexcept { return applyingSkin_; }

    // The screen's scale: the pictures and the description's lengths follow it (the
    // window's layout follows at the next Layout).
    void SetScale(const fw::DpiScale& scale);

    // The window's size or orientation changed: the inner rectangle and the controls'
    // rectangles follow.
    void Layout(int width, int height, bool vertical);
    // While the window is painted, copies to the window wait and go out as one at the end:
    // copying the border, each control and the keyboard one by one costs more than drawing
    // them. Only what lies inside `area` is drawn and copied.
    void BeginFrame(const fw::PixelRect& area = fw::EverywhereRect) noexcept;
    void EndFrame();
    // A rectangle of the back buffer to the window, or into the frame's one copy.
    void Present(const fw::PixelRect& rect);
    // The paint routine's chrome part (bitmap skins): border, controls, frame.
    void PaintChrome();
    // Activation changes: the title in its active or inactive look.
    void RefreshChrome();
    void RefreshChromeFromScreen();
    // The playing switch or a blink changed the icon.
    void RepaintIcon();
    // Where a press drags the window: the title box while a bitmap skin shows it, else
    // nowhere.
    [[nodiscard]] fw::PixelRect TitleDragArea() const noexcept;

    [[nodiscard]] TSkinChrome& Chrome() noexcept { return chrome_; }
    [[nodiscard]] const TSkinConfig& Config() const override { return config_; }

private:
    [[nodiscard]] bool ChromeVisible();
    void FlushFrame();
    // The window's description: the one at 96 DPI at the current scale.
    void Rescale();

    // TChromeHost.
    std::unique_ptr<TSkinBitmap> NewSkinBitmap() override { return shell_.NewSkinBitmap(); }
    TChromeCanvas& Canvas() override { return *this; }
    void FlushRect(const fw::PixelRect& rect) override;
    fw::PixelRect WindowBounds() const override { return shell_.WindowBounds(); }
    bool IsMainWindowActive() const override { return shell_.IsMainWindowActive(); }
    bool PlayingEnabled() const override { return settings_.Enabled; }
    void PopupMenuAt(int screenX, int screenY) override { shell_.PopupMenuAt(screenX, screenY); }
    void CloseMainWindow() override { shell_.CloseMainWindow(); }
    void MinimizeApplication() override { shell_.MinimizeApplication(); }

    // TChromeCanvas.
    void Draw(const TSkinBitmap& bitmap, const fw::PixelRect& source,
              const fw::PixelRect& dest) override;

    TSettings& settings_;
    TSkinConfig& config_;
    TSkinConfig base_; // as the files give it
    const bool& minimized_;
    SkinShell& shell_;
    TSkinLoader loader_;
    TSkinChrome chrome_;
    bool applyingSkin_ = false;
    bool vertical_ = false;
    bool framing_ = false;
    fw::PixelRect frameArea_ = fw::EverywhereRect;
    fw::PixelRect pending_{};
};

} // namespace zevaver

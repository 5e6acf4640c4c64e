// The skin on the main window: loads skins into the description and the chrome, applies
// them to the window (frame, trackbar, topmost band), paints the chrome of a bitmap skin
// through the back buffer and redraws it when the application's activation changes.
#pragma once

#include "framework/MenuModel.h"
#include "framework/win/BackBuffer.h"
#include "framework/win/Handles.h"
#include "mainwindow/MainMenu.h"
#include "skin/Chrome.h"
#include "skin/Skin.h"
#include "skin/win/WinSkinPlatform.h"

#include <functional>
#include <memory>

// Draws skin bitmaps into the back buffer's pixels.
class TBackBufferCanvas final : public TChromeCanvas {
public:
    explicit TBackBufferCanvas(fw::BackBuffer& backBuffer) : backBuffer_(backBuffer) {}
    void Draw(const TSkinBitmap& bitmap, const fw::PixelRect& source,
              const fw::PixelRect& dest) override;

private:
    fw::BackBuffer& backBuffer_;
};

class TWinSkin final : private TChromeHost {
public:
    // popupMenu opens the main window's popup menu at a screen point.
    TWinSkin(fw::BackBuffer& backBuffer, std::function<void(POINT)> popupMenu);
    TWinSkin(const TWinSkin&) = delete;
    TWinSkin& operator=(const TWinSkin&) = delete;
    ~TWinSkin() = default;

    // The main window and its velocity trackbar; before any skin is applied.
    void Attach(HWND window, HWND velocity) noexcept;
    // Where load failures are reported.
    void SetErrorReport(std::function<void(const std::string&)> report);

    // Loads the skin Settings.Skin names (correcting the name when its folder is missing).
    void LoadSkin();
    // Fills the Skin submenu from the skin folders, once.
    void BuildSkinMenu(MainMenu& menu);
    // Applies SkinConfig to the window: frame, trackbar, sizes, check mark, topmost band.
    void ApplySkin(fw::MenuItem& skinMenu);
    // True while ApplySkin runs: the window's resize handling waits for it.
    [[nodiscard]] bool ApplyingSkin() const noexcept { return applyingSkin_; }

    // The window's size or orientation changed: the inner rectangle and the controls'
    // rectangles follow.
    void Layout(int width, int height, bool vertical);
    // The paint routine's chrome part (bitmap skins): border, controls, frame.
    void PaintChrome();
    // While a whole window is painted, the copies to the window wait and go out as one at
    // the end: copying the border, each control and the keyboard one by one costs more
    // than drawing them.
    void BeginFrame() noexcept;
    void EndFrame(HDC windowDc) noexcept;
    // A copy of the back buffer to the window, or part of the frame's one copy.
    void Present(const fw::PixelRect& rect);

    // Activation changes redraw the title in its active or inactive look.
    void RefreshChrome();
    void RefreshChromeFromScreen();
    // Activation and the trackbar's background; false for every other message.
    bool TryHandle(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) noexcept;

    [[nodiscard]] TSkinChrome& Chrome() noexcept { return chrome_; }
    [[nodiscard]] TWinSkinPlatform& Platform() noexcept { return platform_; }
    // The pointer over the keyboard: the skin's, or the arrow.
    [[nodiscard]] HCURSOR KeysCursor() const noexcept;

private:
    // TChromeHost.
    std::unique_ptr<TSkinBitmap> NewSkinBitmap() override;
    TChromeCanvas& Canvas() override { return canvas_; }
    void FlushRect(const fw::PixelRect& rect) override;
    const TSkinConfig& Config() const override;
    fw::PixelRect WindowBounds() const override;
    bool IsMainWindowActive() const override { return active_; }
    bool PlayingEnabled() const override;
    void PopupMenuAt(int screenX, int screenY) override;
    void CloseMainWindow() override;
    void MinimizeApplication() override;

    [[nodiscard]] bool ChromeVisible() const noexcept;
    void FlushFrame();
    void SetFrame(bool windowsStyle) noexcept;

    fw::BackBuffer& backBuffer_;
    std::function<void(POINT)> popupMenu_;
    TBackBufferCanvas canvas_;
    TWinSkinPlatform platform_;
    TSkinLoader loader_{platform_};
    TSkinChrome chrome_;
    HWND window_ = nullptr;
    HWND velocity_ = nullptr;
    fw::Brush faderBrush_;
    bool applyingSkin_ = false;
    bool framing_ = false;
    fw::PixelRect pending_{};
    bool active_ = false;
    bool vertical_ = false;
};

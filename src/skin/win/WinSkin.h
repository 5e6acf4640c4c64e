// The skin's Win32 shell on the main window: skin files, bitmaps and the pointer through
// the platform, the window's frame, band and trackbar for a skin, copies of the back
// buffer to the screen, and the messages a skin answers (activation, the trackbar's
// background, the pointer over the keyboard).
#pragma once

#include "framework/win/BackBuffer.h"
#include "framework/win/Handles.h"
#include "framework/win/Window.h"
#include "skin/SkinFeature.h"
#include "skin/win/WinSkinPlatform.h"

#include <functional>

namespace zevaver {

class TWinSkinShell final : public TWinSkinPlatform, public fw::MessageHandler {
public:
    struct Window {
        HWND handle = nullptr;
        HWND velocity = nullptr;              // the standard trackbar
        std::function<void(POINT)> popupMenu; // at a screen point
        std::function<bool(POINT)> overKeys;  // a client point lies on the keyboard
    };

    explicit TWinSkinShell(fw::BackBuffer& backBuffer) : backBuffer_(backBuffer) {}
    TWinSkinShell(const TWinSkinShell&) = delete;
    TWinSkinShell& operator=(const TWinSkinShell&) = delete;
    ~TWinSkinShell() = default;

    void Attach(Window window);
    // The skin the core made; activation changes redraw its chrome.
    void SetSkin(TSkin* skin) noexcept { skin_ = skin; }
    void SetErrorReport(std::function<void(const std::string&)> report);

    // The pointer over the keyboard: the skin's, or the arrow.
    [[nodiscard]] HCURSOR KeysCursor() const noexcept;
    [[nodiscard]] TWinSkinPlatform& Platform() noexcept { return *this; }

    // Activation, the trackbar's background and the pointer; false for anything else.
    bool TryHandle(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

    // SkinShell.
    [[nodiscard]] std::unique_ptr<TSkinBitmap> NewSkinBitmap() override;
    [[nodiscard]] fw::PixelSurface* BackBuffer() override;
    void FlushRect(const fw::PixelRect& rect) override;
    void CopyScreenToBackBuffer() override;
    [[nodiscard]] fw::PixelRect WindowBounds() override;
    [[nodiscard]] bool IsMainWindowActive() override { return active_; }
    [[nodiscard]] bool WindowShown() override;
    void PopupMenuAt(int screenX, int screenY) override;
    void CloseMainWindow() override;
    void MinimizeApplication() override;
    void ApplyWindowLook(const TSkinConfig& config, bool trackbarVisible) override;

private:
    fw::BackBuffer& backBuffer_;
    fw::PixelSurface surface_{};
    Window window_;
    TSkin* skin_ = nullptr;
    fw::Brush faderBrush_;
    COLORREF faderColor_ = 0;
    bool active_ = false;
};

} // namespace zevaver

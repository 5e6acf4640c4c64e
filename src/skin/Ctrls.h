// The skinned window chrome: light-weight controls that are not platform windows. Each
// paints itself into the window's back buffer, copies its own rectangle to the window when
// it changes (Flush) and takes the pointer input that the main window hands on. The shown
// ones are kept in one list, in painting order.
#pragma once

#include "framework/PixelSurface.h"
#include "skin/GraphicUtils.h"
#include "skin/SkinConfig.h"

#include <memory>
#include <vector>

namespace zevaver {

// What the chrome needs from the main window.
class TChromeHost {
public:
    // A new, empty 24-bit skin bitmap.
    [[nodiscard]] virtual std::unique_ptr<TSkinBitmap> NewSkinBitmap() = 0;
    // The back buffer, for drawing.
    [[nodiscard]] virtual TChromeCanvas& Canvas() = 0;
    // Copies a rectangle of the back buffer to the same place on the window, now.
    virtual void FlushRect(const fw::PixelRect& rect) = 0;
    [[nodiscard]] virtual const TSkinConfig& Config() const = 0;
    // The window's outer rectangle on the screen (its client area in a bitmap skin).
    [[nodiscard]] virtual fw::PixelRect WindowBounds() const = 0;
    [[nodiscard]] virtual bool IsMainWindowActive() const = 0;
    [[nodiscard]] virtual bool PlayingEnabled() const = 0;
    // The popup menu of the main window, opened at a screen point.
    virtual void PopupMenuAt(int screenX, int screenY) = 0;
    virtual void CloseMainWindow() = 0;
    virtual void MinimizeApplication() = 0;

protected:
    ~TChromeHost() = default;
};

class TCtrl;

// The shown chrome controls in painting order. It does not own them (TSkinChrome does):
// a control hidden by a skin must live on to be shown by the next one.
class TCtrlsList {
public:
    [[nodiscard]] const std::vector<TCtrl*>& Items() const noexcept { return items_; }
    [[nodiscard]] bool Contains(const TCtrl* ctrl) const noexcept;
    void Add(TCtrl* ctrl);
    void Remove(const TCtrl* ctrl) noexcept;

    // Hides every listed control whose main bitmap is empty, from last to first.
    void DropEmptyCtrls();
    // Every listed control recomputes its rectangle, first to last.
    void LayoutCtrls();
    void PaintCtrls();
    void FlushCtrls();
    // Every listed control whose rectangle holds the point gets the press, not only the
    // first.
    void DispatchMouseDown(int x, int y);
    // The pointer was lost before its release came (another window took it, the window
    // was deactivated, the release was missed): the captured control lets go as if the
    // button had gone up outside it.
    void ReleaseCaptured();

    // The control that holds the mouse, or null.
    TCtrl* CapturedCtrl = nullptr;

private:
    std::vector<TCtrl*> items_;
};

class TCtrl {
public:
    TCtrl(TCtrlsList& list, TChromeHost& host);
    virtual ~TCtrl();
    TCtrl(const TCtrl&) = delete;
    TCtrl& operator=(const TCtrl&) = delete;

    bool Captured = false;
    bool Shown = false;
    fw::PixelRect Bounds{};              // window client coordinates
    std::unique_ptr<TSkinBitmap> Bitmap; // the main bitmap: empty hides the control

    // Draws Bitmap at the top-left of Bounds.
    virtual void Paint();
    virtual void UpdateBounds() {}
    virtual void MouseDown(int /*x*/, int /*y*/) {}
    virtual void MouseMove(int /*x*/, int /*y*/) {}
    virtual void MouseUp(int /*x*/, int /*y*/) {}
    virtual void Click() {}
    // Lets go of the pointer without a release: no click follows.
    virtual void CaptureLost() { SetCaptured(false); }

    // Copies Bounds from the back buffer to the window.
    void Flush();
    // Shown, and appended to the list unless it is there already.
    void Show();
    void Hide();
    void SetShown(bool value);
    void SetCaptured(bool value);

protected:
    [[nodiscard]] std::unique_ptr<TSkinBitmap> NewSkinBitmap() { return host_.NewSkinBitmap(); }
    [[nodiscard]] const TSkinConfig& Config() const { return host_.Config(); }

    TCtrlsList& list_;
    TChromeHost& host_;
};

class TTitleBox : public TCtrl {
public:
    TTitleBox(TCtrlsList& list, TChromeHost& host);
    std::unique_ptr<TSkinBitmap> InactiveBitmap; // "Title Inactive.bmp"
    std::unique_ptr<TSkinBitmap> BoxBitmap;      // "Title Box.bmp", the bar behind the title
    void Paint() override;
    void UpdateBounds() override;
};

class TIconBox : public TCtrl {
public:
    TIconBox(TCtrlsList& list, TChromeHost& host);
    std::unique_ptr<TSkinBitmap> BlinkBitmap;
    std::unique_ptr<TSkinBitmap> DisabledBitmap;
    bool Blinking = false;
    void Paint() override;
    void UpdateBounds() override;
    // Opens the popup menu under the icon's bottom-left corner.
    void MouseDown(int x, int y) override;
};

// A button that goes down on a press, springs up while the pointer is outside it and
// clicks when released inside.
class TButtonCtrl : public TCtrl {
public:
    TButtonCtrl(TCtrlsList& list, TChromeHost& host);
    std::unique_ptr<TSkinBitmap> DownBitmap;
    bool Pressed = false;
    void Paint() override;
    void MouseDown(int x, int y) override;
    void MouseMove(int x, int y) override;
    void MouseUp(int x, int y) override;
    void CaptureLost() override;
};

class TCloseBtn : public TButtonCtrl {
public:
    using TButtonCtrl::TButtonCtrl;
    void UpdateBounds() override;
    void Click() override;
};

class TMinimizeBtn : public TButtonCtrl {
public:
    TMinimizeBtn(TCtrlsList& list, TChromeHost& host, const TCloseBtn& closeBtn);
    void UpdateBounds() override;
    void Click() override;

private:
    const TCloseBtn& closeBtn_;
};

// The title box's drawing for one size: the source piece of the title bitmap and where it
// goes. innerWidth is the width of InnerRect.
struct TitlePlacement {
    fw::PixelRect source;
    fw::PixelRect dest;
    friend bool operator==(const TitlePlacement&, const TitlePlacement&) = default;
};
[[nodiscard]] TitlePlacement PlaceTitle(const TSkinConfig& config, const fw::PixelRect& bounds,
                                        int bitmapWidth, int bitmapHeight, int innerWidth) noexcept;

} // namespace zevaver

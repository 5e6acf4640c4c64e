// Everything a bitmap skin draws the window with: the border bitmap and the five chrome
// controls, created once in this order (which is also their first painting order), and
// the list of the shown ones.
#pragma once

#include "skin/Ctrls.h"
#include "skin/Fader.h"

#include <array>
#include <memory>

namespace zevaver {

// One bitmap file of a skin and the bitmap it is loaded into.
struct SkinBitmapSlot {
    const char* file;
    TSkinBitmap* bitmap;
};
inline constexpr size_t SkinBitmapCount = 21;

class TSkinChrome {
public:
    explicit TSkinChrome(TChromeHost& host);
    TSkinChrome(const TSkinChrome&) = delete;
    TSkinChrome& operator=(const TSkinChrome&) = delete;

    // Declared first so it outlives the controls, which leave it when destroyed.
    TCtrlsList CtrlsList;
    std::unique_ptr<TSkinBitmap> BorderBitmap;
    TTitleBox TitleBox;
    TIconBox IconBox;
    TCloseBtn CloseBtn;
    TMinimizeBtn MinimizeBtn;
    TFader Fader;

    // The 21 bitmaps of a skin in loading order.
    [[nodiscard]] std::array<SkinBitmapSlot, SkinBitmapCount> BitmapSlots();

    // Shows the five controls in creation order (a control already shown keeps its place),
    // then hides those whose main bitmap is empty.
    void ShowCtrls();

    // The frame from "Border.bmp" over the whole window of width x height.
    void DrawBorder(int width, int height);

private:
    TChromeHost& host_;
};

// What FlushFrame copies from the back buffer to the window around the content of a
// window of width x height: the four strips of the frame, and the one-pixel separator
// line under the title (or under the fader strip of a vertical keyboard).
struct FrameFlush {
    std::array<fw::PixelRect, 4> strips; // top, left, right, bottom
    fw::PixelRect line;
};
[[nodiscard]] FrameFlush FrameFlushRects(const TSkinConfig& config, int width, int height,
                                         bool vertical, int faderTrackHeight) noexcept;

} // namespace zevaver

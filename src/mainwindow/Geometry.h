// Where the keyboard control and the velocity trackbar sit in the main window, for both
// kinds of skin and both orientations, and the first placement of the window.
#pragma once

#include "framework/DpiScale.h"
#include "framework/PixelSurface.h"

#include <vector>

namespace zevaver {

struct WindowRect {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    friend bool operator==(const WindowRect&, const WindowRect&) = default;
};

struct FrameMetrics {
    bool windowsStyle = true; // a platform frame; border and title are then 0
    int border = 0;           // B
    int title = 0;            // T
    int fader = 36;           // F
    int unit = 1;             // one pixel at 96 DPI: the free column and row by the border
};

struct ClientSize {
    int width = 0;  // CW
    int height = 0; // CH
    friend bool operator==(const ClientSize&, const ClientSize&) = default;
};

// The window is never smaller than this (at 96 DPI; in proportion at other scales),
// however it is sized: from the stored settings, by a turn, by its border, or from outside.
inline constexpr int MinWindowWidth = 100;
inline constexpr int MinWindowHeight = 80;
[[nodiscard]] ClientSize MinimumWindowSize(const fw::DpiScale& scale) noexcept;
// The same place, at least the minimum size (the top-left corner stays).
[[nodiscard]] WindowRect AtLeastMinimumSize(const WindowRect& bounds,
                                            ClientSize minimum = {MinWindowWidth,
                                                                  MinWindowHeight}) noexcept;

[[nodiscard]] WindowRect KeyboardRect(const FrameMetrics& frame, ClientSize client,
                                      bool vertical) noexcept;
[[nodiscard]] WindowRect TrackbarRect(const FrameMetrics& frame, ClientSize client,
                                      bool vertical) noexcept;

// The client rectangle shrunk by the border on each side: what lies outside it is the
// resize strip of a bitmap skin.
[[nodiscard]] fw::PixelRect InnerRect(ClientSize client, int border) noexcept;

// The window's first placement. A window that would lie on no monitor at all (a monitor
// unplugged since, a smaller screen) goes to the bottom-right corner of the primary
// screen; a window that touches any monitor, even one left of or above the primary one,
// stays where the user put it.
struct Placement {
    int left;
    int top;
    friend bool operator==(const Placement&, const Placement&) = default;
};
[[nodiscard]] Placement CorrectPlacement(int left, int top, int width, int height,
                                         ClientSize primaryScreen,
                                         const std::vector<fw::PixelRect>& monitors) noexcept;
// With the primary screen as the only monitor.
[[nodiscard]] Placement CorrectPlacement(int left, int top, int width, int height, int screenWidth,
                                         int screenHeight) noexcept;

// The window wholly on the screen: within the work area (the monitor less its taskbar) it
// lies most on, or the nearest one, moved by the least; a window larger than the area is
// made as large as the area (but not below `minimum`), its far edges then sticking out.
[[nodiscard]] WindowRect KeptInWorkArea(const WindowRect& bounds,
                                        const std::vector<fw::PixelRect>& workAreas,
                                        ClientSize minimum) noexcept;

// The zoom commands keep the white-key width within these bounds.
inline constexpr int MinNoteWidth = 7;
inline constexpr int MaxNoteWidth = 100;
[[nodiscard]] int ZoomedIn(int noteWidth) noexcept;
[[nodiscard]] int ZoomedOut(int noteWidth) noexcept;

} // namespace zevaver

// What a new client size changes on the screen. A border drag resizes the window many times
// a second; repainting only what moved keeps each step close to a bare window's.
#pragma once

#include "framework/PixelSurface.h"
#include "mainwindow/Geometry.h"

#include <vector>

namespace zevaver {

// The depths of what depends on the width, in pixels: the band along the top (border,
// title, the line under it), the one along the bottom (border), and the part at the right
// (border, fader, the keyboard's last keys and outline).
struct WidthDependents {
    int top = 0;
    int bottom = 0;
    int right = 0;
};

// The depths for a frame: corners of `cornerSize` pixels (the border's pieces reach that
// deep), keys `noteWidth` wide drawn with an outline of `outlineWidth`.
[[nodiscard]] WidthDependents WidthDependentsOf(const FrameMetrics& frame, int cornerSize,
                                                int noteWidth, int outlineWidth) noexcept;

// The rectangles (in the new client area) to repaint after `before` became `after`. When only
// the width of a horizontal keyboard changed, everything left of the keyboard's end stays as
// it was, but for the bands along the top and the bottom; any other change repaints it all.
[[nodiscard]] std::vector<fw::PixelRect> ResizeDamage(ClientSize before, ClientSize after,
                                                      bool vertical, const WidthDependents& depths);

} // namespace zevaver

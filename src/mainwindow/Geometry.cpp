#include "mainwindow/Geometry.h"

#include "framework/PixelSurface.h"
#include "framework/ScreenAreas.h"

#include <algorithm>
#include <cstdint>

namespace zevaver {

ClientSize MinimumWindowSize(const fw::DpiScale& scale) noexcept {
    return {scale.Px(MinWindowWidth), scale.Px(MinWindowHeight)};
}

WindowRect AtLeastMinimumSize(const WindowRect& bounds, ClientSize minimum) noexcept {
    return {bounds.left, bounds.top, std::max(bounds.width, minimum.width),
            std::max(bounds.height, minimum.height)};
}

WindowRect KeyboardRect(const FrameMetrics& frame, ClientSize client, bool vertical) noexcept {
    const int B = frame.border, T = frame.title, F = frame.fader, u = frame.unit;
    const int CW = client.width, CH = client.height;
    if (frame.windowsStyle) {
        return vertical ? WindowRect{0, F, CW, CH - F} : WindowRect{0, 0, CW - F, CH};
    }
    // Bitmap skins leave one free column and row between the keyboard and the border.
    return vertical
               ? WindowRect{B + u, B + T + F + u, CW - 2 * B - 2 * u, CH - 2 * B - T - F - 2 * u}
               : WindowRect{B + u, B + T + u, CW - 2 * B - F - u, CH - 2 * B - T - 2 * u};
}

WindowRect TrackbarRect(const FrameMetrics& frame, ClientSize client, bool vertical) noexcept {
    const int B = frame.border, T = frame.title, F = frame.fader, u = frame.unit;
    const int CW = client.width, CH = client.height;
    if (frame.windowsStyle) {
        // Against the client's right edge whatever the thickness of the platform frame.
        return vertical ? WindowRect{0, 0, CW, F} : WindowRect{CW - F, 0, F, CH};
    }
    return vertical ? WindowRect{B + u, B + T + u, CW - 2 * B - 2 * u, F}
                    : WindowRect{CW - F - B - u, B + T + u, F, CH - 2 * B - T - 2 * u};
}

fw::PixelRect InnerRect(ClientSize client, int border) noexcept {
    return {border, border, client.width - border, client.height - border};
}

Placement CorrectPlacement(int left, int top, int width, int height, ClientSize primaryScreen,
                           const std::vector<fw::PixelRect>& monitors) noexcept {
    // A window too small to have an area still counts by its corner.
    const int64_t right = int64_t{left} + std::max(width, 1);
    const int64_t bottom = int64_t{top} + std::max(height, 1);
    if (fw::OverlapsAny(left, top, right, bottom, monitors)) return {left, top};
    return {fw::ClampToInt(int64_t{primaryScreen.width} - width),
            fw::ClampToInt(int64_t{primaryScreen.height} - height)};
}

Placement CorrectPlacement(int left, int top, int width, int height, int screenWidth,
                           int screenHeight) noexcept {
    return CorrectPlacement(left, top, width, height, {screenWidth, screenHeight},
                            {fw::PixelRect{0, 0, screenWidth, screenHeight}});
}

WindowRect KeptInWorkArea(const WindowRect& bounds, const std::vector<fw::PixelRect>& workAreas,
                          ClientSize minimum) noexcept {
    const int64_t right = int64_t{bounds.left} + bounds.width;
    const int64_t bottom = int64_t{bounds.top} + bounds.height;
    const fw::PixelRect* area = fw::BestArea(bounds.left, bounds.top, right, bottom, workAreas);
    if (!area) return bounds;
    const int width = std::max(std::min(bounds.width, area->right - area->left), minimum.width);
    const int height = std::max(std::min(bounds.height, area->bottom - area->top), minimum.height);
    return {fw::MovedInto(bounds.left, width, area->left, area->right),
            fw::MovedInto(bounds.top, height, area->top, area->bottom), width, height};
}

// A stored width may lie anywhere: compared before the step, so none can overflow.
int ZoomedIn(int noteWidth) noexcept {
    return noteWidth >= MaxNoteWidth ? MaxNoteWidth : noteWidth + 1;
}
int ZoomedOut(int noteWidth) noexcept {
    return noteWidth <= MinNoteWidth ? MinNoteWidth : noteWidth - 1;
}

} // namespace zevaver

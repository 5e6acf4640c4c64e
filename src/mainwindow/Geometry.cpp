#include "mainwindow/Geometry.h"

#include "framework/PixelSurface.h"

#include <algorithm>
#include <cstdint>

WindowRect KeyboardRect(const FrameMetrics& frame, ClientSize client, bool vertical) noexcept {
    const int B = frame.border, T = frame.title, F = frame.fader;
    const int CW = client.width, CH = client.height;
    if (frame.windowsStyle) {
        return vertical ? WindowRect{0, F, CW, CH - F} : WindowRect{0, 0, CW - F, CH};
    }
    // Bitmap skins leave one free column and row between the keyboard and the border.
    return vertical ? WindowRect{B + 1, B + T + F + 1, CW - 2 * B - 2, CH - 2 * B - T - F - 2}
                    : WindowRect{B + 1, B + T + 1, CW - 2 * B - F - 1, CH - 2 * B - T - 2};
}

WindowRect TrackbarRect(const FrameMetrics& frame, ClientSize client, bool vertical) noexcept {
    const int B = frame.border, T = frame.title, F = frame.fader;
    const int CW = client.width, CH = client.height;
    if (frame.windowsStyle) {
        // Against the client's right edge whatever the thickness of the platform frame.
        return vertical ? WindowRect{0, 0, CW, F} : WindowRect{CW - F, 0, F, CH};
    }
    return vertical ? WindowRect{B + 1, B + T + 1, CW - 2 * B - 2, F}
                    : WindowRect{CW - F - B - 1, B + T + 1, F, CH - 2 * B - T - 2};
}

Placement CorrectPlacement(int left, int top, int width, int height, int screenWidth,
                           int screenHeight) noexcept {
    // Stored sizes come from the registry and may be any 32-bit number.
    if (top >= screenHeight || left >= screenWidth)
        return {fw::ClampToInt(int64_t{screenWidth} - width),
                fw::ClampToInt(int64_t{screenHeight} - height)};
    return {left, top};
}

// A stored width may lie anywhere: compared before the step, so none can overflow.
int ZoomedIn(int noteWidth) noexcept {
    return noteWidth >= MaxNoteWidth ? MaxNoteWidth : noteWidth + 1;
}
int ZoomedOut(int noteWidth) noexcept {
    return noteWidth <= MinNoteWidth ? MinNoteWidth : noteWidth - 1;
}

#include "mainwindow/Geometry.h"

#include <algorithm>

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
    if (top >= screenHeight || left >= screenWidth)
        return {screenWidth - width, screenHeight - height};
    return {left, top};
}

int ZoomedIn(int noteWidth) noexcept {
    return std::min(noteWidth + 1, MaxNoteWidth);
}
int ZoomedOut(int noteWidth) noexcept {
    return std::max(noteWidth - 1, MinNoteWidth);
}

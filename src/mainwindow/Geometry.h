// Where the keyboard control and the velocity trackbar sit in the main window, for both
// kinds of skin and both orientations, and the first placement of the window.
#pragma once

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
};

struct ClientSize {
    int width = 0;  // CW
    int height = 0; // CH
};

[[nodiscard]] WindowRect KeyboardRect(const FrameMetrics& frame, ClientSize client,
                                      bool vertical) noexcept;
[[nodiscard]] WindowRect TrackbarRect(const FrameMetrics& frame, ClientSize client,
                                      bool vertical) noexcept;

// The window's first placement: a stored position at or past the screen's right or bottom
// edge moves the window into the bottom-right corner; positions above or left of the
// screen are kept.
struct Placement {
    int left;
    int top;
};
[[nodiscard]] Placement CorrectPlacement(int left, int top, int width, int height, int screenWidth,
                                         int screenHeight) noexcept;

// The zoom commands keep the white-key width within these bounds.
inline constexpr int MinNoteWidth = 7;
inline constexpr int MaxNoteWidth = 100;
[[nodiscard]] int ZoomedIn(int noteWidth) noexcept;
[[nodiscard]] int ZoomedOut(int noteWidth) noexcept;

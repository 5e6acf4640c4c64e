// Moving a frameless window by its title and resizing it by its border: which edges a
// press on the border takes, the cursor that shows it, and where the window goes as the
// pointer moves. One pair of grab offsets serves both drags, as only one runs at a time.
#pragma once

#include "framework/PixelSurface.h"
#include "mainwindow/Geometry.h"

namespace zevaver {

enum class ResizeCursor {
    Arrow,       // inside: the default pointer
    NorthWestSE, // the top-left and bottom-right corners
    NorthEastSW, // the top-right and bottom-left corners
    NorthSouth,  // the top and bottom edges
    WestEast,    // the left and right edges
};

struct ResizeEdges {
    bool left = false;
    bool top = false;
    bool right = false;
    bool bottom = false;
    friend bool operator==(const ResizeEdges&, const ResizeEdges&) = default;
};

struct BorderHit {
    bool resizes = false;
    ResizeEdges edges;
    ResizeCursor cursor = ResizeCursor::Arrow;
};

// Client coordinates. Inside `inner` nothing resizes; outside it the corner squares of
// side `cornerArea` resize diagonally, and the rest of the strip moves the nearest edge.
// With no border the whole client area is inner, so the mouse cannot resize the window.
[[nodiscard]] BorderHit BorderHitTest(int x, int y, ClientSize client, const fw::PixelRect& inner,
                                      int cornerArea, int border) noexcept;

struct ScreenPoint {
    int x = 0;
    int y = 0;
    friend bool operator==(const ScreenPoint&, const ScreenPoint&) = default;
};

class WindowDrag {
public:
    // A press on the title at (x, y) of the title image, whose left top lies at
    // (titleLeft, titleTop) of the window.
    void TitleDown(int x, int y, int titleLeft, int titleTop) noexcept;
    // The window's new left top for the pointer at `pointer`, or nothing outside a drag.
    [[nodiscard]] bool TitleMove(ScreenPoint pointer, ScreenPoint& windowTopLeft) const noexcept;
    void TitleUp() noexcept { draggingTitle_ = false; }

    // A press at client (x, y) on the border edges `edges` of a window width x height.
    void BorderDown(const ResizeEdges& edges, int x, int y, int width, int height) noexcept;
    // The window's new bounds (screen coordinates) from its present ones and the pointer.
    // Each chosen edge follows the pointer; an edge that would make the window smaller
    // than the minimum stops there, while the opposite edge stays put.
    [[nodiscard]] bool BorderMove(const fw::PixelRect& window, ScreenPoint pointer,
                                  fw::PixelRect& bounds) const noexcept;
    void BorderUp() noexcept { resizing_ = false; }
    // The smallest size a border drag leaves (the window's minimum at the screen's scale).
    void SetMinimumSize(ClientSize minimum) noexcept { minimum_ = minimum; }

    // The window moved onto a screen of another DPI and takes the size the system suggests.
    // The grab offsets scale with it, so a drag goes on holding the same point of the
    // window; while the title is dragged the window is placed to keep that point under the
    // pointer (the system's suggestion may lie elsewhere), so it does not jump away from it.
    [[nodiscard]] WindowRect ScaleChanged(int fromDpi, int toDpi, const WindowRect& suggested,
                                          ScreenPoint pointer) noexcept;

    [[nodiscard]] bool DraggingTitle() const noexcept { return draggingTitle_; }
    [[nodiscard]] bool Resizing() const noexcept { return resizing_; }
    [[nodiscard]] const ResizeEdges& Edges() const noexcept { return edges_; }
    [[nodiscard]] int GrabX() const noexcept { return grabX_; }
    [[nodiscard]] int GrabY() const noexcept { return grabY_; }

private:
    bool draggingTitle_ = false;
    bool resizing_ = false;
    ResizeEdges edges_;
    int grabX_ = 0;
    int grabY_ = 0;
    ClientSize minimum_{MinWindowWidth, MinWindowHeight};
};

} // namespace zevaver

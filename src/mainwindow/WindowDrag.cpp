#include "mainwindow/WindowDrag.h"

#include "framework/DpiScale.h"

#include <algorithm>

namespace zevaver {

BorderHit BorderHitTest(int x, int y, ClientSize client, const fw::PixelRect& inner, int cornerArea,
                        int border) noexcept {
    const int CW = client.width, CH = client.height, CA = cornerArea, B = border;
    BorderHit hit;
    if (fw::PointIn(inner, x, y)) return hit;
    hit.resizes = true;
    ResizeEdges& e = hit.edges;
    if (fw::PointIn({0, 0, CA, CA}, x, y)) {
        e.left = e.top = true;
        hit.cursor = ResizeCursor::NorthWestSE;
    } else if (fw::PointIn({CW - CA, 0, CW, CA}, x, y)) {
        e.right = e.top = true;
        hit.cursor = ResizeCursor::NorthEastSW;
    } else if (fw::PointIn({CW - CA, CH - CA, CW, CH}, x, y)) {
        e.right = e.bottom = true;
        hit.cursor = ResizeCursor::NorthWestSE;
    } else if (fw::PointIn({0, CH - CA, CA, CH}, x, y)) {
        e.left = e.bottom = true;
        hit.cursor = ResizeCursor::NorthEastSW;
    } else if (y <= B) {
        e.top = true;
        hit.cursor = ResizeCursor::NorthSouth;
    } else if (y >= CH - B) {
        e.bottom = true;
        hit.cursor = ResizeCursor::NorthSouth;
    } else if (x <= B) {
        e.left = true;
        hit.cursor = ResizeCursor::WestEast;
    } else {
        e.right = true;
        hit.cursor = ResizeCursor::WestEast;
    }
    return hit;
}

void WindowDrag::TitleDown(int x, int y, int titleLeft, int titleTop) noexcept {
    draggingTitle_ = true;
    grabX_ = x + titleLeft;
    grabY_ = y + titleTop;
}

bool WindowDrag::TitleMove(ScreenPoint pointer, ScreenPoint& windowTopLeft) const noexcept {
    if (!draggingTitle_) return false;
    windowTopLeft = {pointer.x - grabX_, pointer.y - grabY_};
    return true;
}

void WindowDrag::BorderDown(const ResizeEdges& edges, int x, int y, int width,
                            int height) noexcept {
    resizing_ = true;
    edges_ = edges;
    grabX_ = edges.left ? x : x - width;
    grabY_ = edges.top ? y : y - height;
}

bool WindowDrag::BorderMove(const fw::PixelRect& window, ScreenPoint pointer,
                            fw::PixelRect& bounds) const noexcept {
    if (!resizing_) return false;
    bounds = window;
    const int x = pointer.x - grabX_, y = pointer.y - grabY_;
    if (edges_.left) bounds.left = std::min(x, window.right - minimum_.width);
    if (edges_.top) bounds.top = std::min(y, window.bottom - minimum_.height);
    if (edges_.right) bounds.right = std::max(x, window.left + minimum_.width);
    if (edges_.bottom) bounds.bottom = std::max(y, window.top + minimum_.height);
    return true;
}

WindowRect WindowDrag::ScaleChanged(int fromDpi, int toDpi, const WindowRect& suggested,
                                    ScreenPoint pointer) noexcept {
    grabX_ = fw::RescaleLength(grabX_, fromDpi, toDpi);
    grabY_ = fw::RescaleLength(grabY_, fromDpi, toDpi);
    if (!draggingTitle_) return suggested;
    return {pointer.x - grabX_, pointer.y - grabY_, suggested.width, suggested.height};
}

} // namespace zevaver

#include "mainwindow/WindowDrag.h"

#include <algorithm>

namespace zevaver {

namespace {

bool Inside(int x, int y, int left, int top, int right, int bottom) noexcept {
    return x >= left && x < right && y >= top && y < bottom;
}

} // namespace

BorderHit BorderHitTest(int x, int y, ClientSize client, const fw::PixelRect& inner, int cornerArea,
                        int border) noexcept {
    const int CW = client.width, CH = client.height, CA = cornerArea, B = border;
    BorderHit hit;
    if (Inside(x, y, inner.left, inner.top, inner.right, inner.bottom)) return hit;
    hit.resizes = true;
    ResizeEdges& e = hit.edges;
    if (Inside(x, y, 0, 0, CA, CA)) {
        e.left = e.top = true;
        hit.cursor = ResizeCursor::NorthWestSE;
    } else if (Inside(x, y, CW - CA, 0, CW, CA)) {
        e.right = e.top = true;
        hit.cursor = ResizeCursor::NorthEastSW;
    } else if (Inside(x, y, CW - CA, CH - CA, CW, CH)) {
        e.right = e.bottom = true;
        hit.cursor = ResizeCursor::NorthWestSE;
    } else if (Inside(x, y, 0, CH - CA, CA, CH)) {
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
    if (edges_.left) bounds.left = std::min(x, window.right - MinWidth);
    if (edges_.top) bounds.top = std::min(y, window.bottom - MinHeight);
    if (edges_.right) bounds.right = std::max(x, window.left + MinWidth);
    if (edges_.bottom) bounds.bottom = std::max(y, window.top + MinHeight);
    return true;
}

} // namespace zevaver

#include "mainwindow/win/WindowSizeLimit.h"

#include "mainwindow/Geometry.h"

namespace zevaver {

bool TWindowSizeLimit::TryHandle(UINT message, WPARAM, LPARAM lParam, LRESULT& result) {
    if (message == WM_GETMINMAXINFO) {
        const ClientSize minimum = minimum_();
        reinterpret_cast<MINMAXINFO*>(lParam)->ptMinTrackSize = {minimum.width, minimum.height};
        result = 0;
        return true;
    }
    if (message == WM_WINDOWPOSCHANGING) {
        auto* pos = reinterpret_cast<WINDOWPOS*>(lParam);
        if (!(pos->flags & SWP_NOSIZE) && !IsIconic(pos->hwnd)) {
            const WindowRect size =
                AtLeastMinimumSize({pos->x, pos->y, pos->cx, pos->cy}, minimum_());
            pos->cx = size.width;
            pos->cy = size.height;
        }
    }
    return false;
}

} // namespace zevaver

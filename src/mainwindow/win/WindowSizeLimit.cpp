#include "mainwindow/win/WindowSizeLimit.h"

#include "mainwindow/Geometry.h"

namespace zevaver {

bool TWindowSizeLimit::TryHandle(UINT message, WPARAM, LPARAM lParam, LRESULT& result) {
    if (message == WM_GETMINMAXINFO) {
        reinterpret_cast<MINMAXINFO*>(lParam)->ptMinTrackSize = {MinWindowWidth, MinWindowHeight};
        result = 0;
        return true;
    }
    if (message == WM_WINDOWPOSCHANGING) {
        auto* pos = reinterpret_cast<WINDOWPOS*>(lParam);
        if (!(pos->flags & SWP_NOSIZE) && !IsIconic(pos->hwnd)) {
            const WindowRect size = AtLeastMinimumSize({pos->x, pos->y, pos->cx, pos->cy});
            pos->cx = size.width;
            pos->cy = size.height;
        }
    }
    return false;
}

} // namespace zevaver

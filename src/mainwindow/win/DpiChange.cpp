#include "mainwindow/win/DpiChange.h"

namespace zevaver {

bool TDpiChange::TryHandle(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    if (message != WM_DPICHANGED || lParam == 0) return false;
    // Both halves of wParam hold the DPI, the same along x and y.
    const RECT& suggested = *reinterpret_cast<const RECT*>(lParam);
    POINT pointer{};
    GetCursorPos(&pointer);
    core_.DpiChanged(HIWORD(wParam),
                     {suggested.left, suggested.top, suggested.right - suggested.left,
                      suggested.bottom - suggested.top},
                     {pointer.x, pointer.y});
    result = 0;
    return true;
}

} // namespace zevaver

// The window moved onto a screen of another scale (or the user changed the scale): Windows
// tells a per-monitor aware window with WM_DPICHANGED and a rectangle of the new size, and
// the core lays the window out and draws it anew at the new DPI.
#pragma once

#include <windows.h>

#include "framework/win/Window.h"
#include "mainwindow/AppCore.h"

namespace zevaver {

class TDpiChange final : public fw::MessageHandler {
public:
    explicit TDpiChange(AppCore& core) noexcept : core_(core) {}

    bool TryHandle(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

private:
    AppCore& core_;
};

} // namespace zevaver

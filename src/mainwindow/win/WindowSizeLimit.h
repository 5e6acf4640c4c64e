// The main window's smallest size, held for every way it can be sized. The platform keeps
// it for border drags of a sizeable frame only; a frameless window (a bitmap skin) and
// sizes set in code or from outside are held here too. A minimised window keeps the size
// the platform gives its icon.
#pragma once

#include <windows.h>

#include "framework/win/Window.h"
#include "mainwindow/Geometry.h"

#include <functional>

namespace zevaver {

class TWindowSizeLimit final : public fw::MessageHandler {
public:
    // minimum: the smallest size now (it follows the screen's scale).
    explicit TWindowSizeLimit(std::function<ClientSize()> minimum) : minimum_(std::move(minimum)) {}

    // The minimum tracking size and the size of every move or resize, raised to the
    // minimum; the message then goes on to the default handling.
    bool TryHandle(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

private:
    std::function<ClientSize()> minimum_;
};

} // namespace zevaver

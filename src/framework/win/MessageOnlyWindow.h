// The hidden window other processes and libraries post to: a message-only window is
// never shown, never in any window list and takes no part in broadcasts.
#pragma once

#include "framework/win/Window.h"

#include <functional>
#include <utility>

namespace zevaver {

namespace fw {

class MessageOnlyWindow final : public WindowBase {
public:
    // True when it handled the message, with `result` the answer; false passes it on to
    // the default handling.
    using Handler = std::function<bool(UINT message, WPARAM, LPARAM, LRESULT& result)>;

    explicit MessageOnlyWindow(Handler handler) noexcept : handler_(std::move(handler)) {}
    ~MessageOnlyWindow() override { DestroyHandle(); }

    // False when the class or the window could not be made.
    [[nodiscard]] bool Create(const char* className) noexcept {
        WindowClassOptions windowClass;
        windowClass.name = className;
        return CreateHandle(windowClass, 0, 0, "", 0, 0, 0, 0, HWND_MESSAGE);
    }

protected:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) noexcept override {
        LRESULT result = 0;
        if (handler_(message, wParam, lParam, result)) return result;
        return WindowBase::HandleMessage(message, wParam, lParam);
    }

private:
    Handler handler_;
};

} // namespace fw

} // namespace zevaver

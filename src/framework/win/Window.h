// Base for the program's windows: registers the class once, owns its window handle,
// keeps `this` from WM_NCCREATE on and offers every message first to the registered
// feature handlers, in the order they were added, then to the member HandleMessage. An
// exception out of either is reported at this boundary (fw::ReportError) instead of
// ending the program.
#pragma once

#include "framework/win/Handles.h"

#include <windows.h>

#include <vector>

namespace zevaver {

namespace fw {

// A feature's share of a window's messages: true when it handled the message, with
// `result` the value the window procedure returns; false passes it on.
class MessageHandler {
public:
    virtual bool TryHandle(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) = 0;

protected:
    ~MessageHandler() = default;
};

struct WindowClassOptions {
    const char* name = nullptr;
    UINT style = 0;
    HCURSOR cursor = nullptr;    // null: the arrow
    HBRUSH background = nullptr; // null: no background erase
    HICON icon = nullptr;
    HICON smallIcon = nullptr;
};

class WindowBase {
public:
    WindowBase() = default;
    WindowBase(const WindowBase&) = delete;
    WindowBase& operator=(const WindowBase&) = delete;
    virtual ~WindowBase();

    [[nodiscard]] HWND Handle() const noexcept { return handle_; }

    // Destroys the window while the derived object still exists, so WM_DESTROY reaches
    // the derived handler. Derived destructors call this.
    void DestroyHandle() noexcept;

    // The handler must outlive the window or be removed first.
    void AddHandler(MessageHandler& handler);
    void RemoveHandler(MessageHandler& handler) noexcept;

protected:
    [[nodiscard]] bool CreateHandle(const WindowClassOptions& options, DWORD style, DWORD exStyle,
                                    const char* title, int x, int y, int width, int height,
                                    HWND parent = nullptr) noexcept;

    // Anything not handled goes to DefWindowProcA.
    virtual LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);

private:
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam,
                                       LPARAM lParam) noexcept;
    LRESULT Dispatch(UINT message, WPARAM wParam, LPARAM lParam);
    HWND handle_ = nullptr;
    std::vector<MessageHandler*> handlers_;
};

[[nodiscard]] HINSTANCE ModuleInstance() noexcept;

// Brings the window to the front, or the dialog or message box it owns that was active
// last: while one is open the window itself is disabled and answers nothing.
void BringForward(HWND window) noexcept;

} // namespace fw

} // namespace zevaver

// Base for the program's windows: registers the class once, keeps `this` from
// WM_NCCREATE on and sends every message to the member HandleMessage.
#pragma once

#include "framework/win/Handles.h"

#include <windows.h>

namespace fw {

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

protected:
    [[nodiscard]] bool CreateHandle(const WindowClassOptions& options, DWORD style, DWORD exStyle,
                                    const char* title, int x, int y, int width, int height,
                                    HWND parent = nullptr) noexcept;

    // Anything not handled goes to DefWindowProcA.
    virtual LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) noexcept;

private:
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam,
                                       LPARAM lParam) noexcept;
    HWND handle_ = nullptr;
};

[[nodiscard]] HINSTANCE ModuleInstance() noexcept;

} // namespace fw

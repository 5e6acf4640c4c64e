#include "framework/win/Window.h"

#include "framework/win/Application.h"

#include <algorithm>
#include <exception>
#include <string>

namespace zevaver {

namespace fw {

HINSTANCE ModuleInstance() noexcept {
    return GetModuleHandleA(nullptr);
}

namespace {

// A shown window of the same thread that the given one owns, or null.
HWND OwnedWindow(HWND owner) noexcept {
    struct Search {
        HWND owner;
        HWND found;
    } search{owner, nullptr};
    EnumThreadWindows(
        GetWindowThreadProcessId(owner, nullptr),
        [](HWND window, LPARAM data) -> BOOL {
            auto* search = reinterpret_cast<Search*>(data);
            if (GetWindow(window, GW_OWNER) != search->owner || !IsWindowVisible(window))
                return TRUE;
            search->found = window;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

} // namespace

void BringForward(HWND window) noexcept {
    HWND front = GetLastActivePopup(window);
    if (!front) front = window;
    // Showing the window again (out of the tray) makes it its own last active popup, even
    // while a dialog it owns keeps it disabled: follow the owned windows down to the one
    // that answers (the dialog, or a box the dialog opened).
    for (int depth = 0; depth < 8 && !IsWindowEnabled(front); ++depth) {
        HWND owned = OwnedWindow(front);
        if (!owned) break;
        front = owned;
    }
    SetForegroundWindow(front);
}

WindowBase::~WindowBase() {
    // The derived part is gone: detach before destroying so no message reaches it.
    if (handle_) {
        SetWindowLongPtrA(handle_, GWLP_USERDATA, 0);
        DestroyWindow(std::exchange(handle_, nullptr));
    }
}

void WindowBase::DestroyHandle() noexcept {
    if (handle_) DestroyWindow(handle_); // WM_NCDESTROY clears handle_
}

bool WindowBase::CreateHandle(const WindowClassOptions& options, DWORD style, DWORD exStyle,
                              const char* title, int x, int y, int width, int height,
                              HWND parent) noexcept {
    WNDCLASSEXA existing{sizeof existing};
    if (!GetClassInfoExA(ModuleInstance(), options.name, &existing)) {
        WNDCLASSEXA windowClass{sizeof windowClass};
        windowClass.style = options.style;
        windowClass.lpfnWndProc = &WindowBase::WindowProc;
        windowClass.hInstance = ModuleInstance();
        windowClass.hCursor = options.cursor ? options.cursor : LoadCursorA(nullptr, IDC_ARROW);
        windowClass.hbrBackground = options.background;
        windowClass.hIcon = options.icon;
        windowClass.hIconSm = options.smallIcon;
        windowClass.lpszClassName = options.name;
        if (!RegisterClassExA(&windowClass)) return false;
    }
    HWND window = CreateWindowExA(exStyle, options.name, title, style, x, y, width, height, parent,
                                  nullptr, ModuleInstance(), this);
    return window != nullptr;
}

void WindowBase::AddHandler(MessageHandler& handler) {
    handlers_.push_back(&handler);
}

void WindowBase::RemoveHandler(MessageHandler& handler) noexcept {
    handlers_.erase(std::remove(handlers_.begin(), handlers_.end(), &handler), handlers_.end());
}

LRESULT WindowBase::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcA(handle_, message, wParam, lParam);
}

LRESULT WindowBase::Dispatch(UINT message, WPARAM wParam, LPARAM lParam) {
    LRESULT result = 0;
    for (MessageHandler* handler : handlers_)
        if (handler->TryHandle(message, wParam, lParam, result)) return result;
    return HandleMessage(message, wParam, lParam);
}

namespace {

// One box at a time: the box's own message loop may run the failing handler again.
void ReportUnhandled(const char* what) noexcept {
    thread_local bool reporting = false;
    if (reporting) return;
    reporting = true;
    try {
        ReportError(what);
    } catch (...) {
    }
    reporting = false;
}

} // namespace

LRESULT CALLBACK WindowBase::WindowProc(HWND window, UINT message, WPARAM wParam,
                                        LPARAM lParam) noexcept {
    auto* self = reinterpret_cast<WindowBase*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    if (message == WM_NCCREATE) {
        auto* create = reinterpret_cast<CREATESTRUCTA*>(lParam);
        self = static_cast<WindowBase*>(create->lpCreateParams);
        self->handle_ = window;
        SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    if (!self) return DefWindowProcA(window, message, wParam, lParam);
    if (message >= 0xC000 && message == HeldErrorsMessage()) {
        ShowHeldErrors();
        return 0;
    }
    LRESULT result = 0;
    try {
        result = self->Dispatch(message, wParam, lParam);
    } catch (const std::exception& error) {
        ReportUnhandled(error.what());
        result = DefWindowProcA(window, message, wParam, lParam);
    } catch (...) {
        ReportUnhandled("Unexpected error.");
        result = DefWindowProcA(window, message, wParam, lParam);
    }
    if (message == WM_NCDESTROY) {
        SetWindowLongPtrA(window, GWLP_USERDATA, 0);
        self->handle_ = nullptr;
    }
    return result;
}

} // namespace fw

} // namespace zevaver

#include "services/win/Watch.h"

#include "framework/win/Application.h"
#include "framework/win/WidePath.h"

#include <algorithm>
#include <cstring>
#include <string_view>

namespace {

constexpr char LibraryFileName[] = "vivuvav.dll";
constexpr char ReceiverClassName[] = "MKWatchReceiver";

constexpr char NotFoundText[] = "Library vivuvav.dll not found.";
constexpr char NotValidText[] = "Library vivuvav.dll is not valid.";
constexpr char InUseText[] = "Another application already uses vivuvav.dll.\r\n"
                             "Try restarting the program.";
constexpr char CannotOverrideText[] = "Unable to override.\r\nSystem watching is disabled.";

void ShowError(const char* text) noexcept {
    fw::ShowMessageBox(nullptr, text, "Error", MB_OK | MB_ICONERROR);
}

// GetProcAddress answers with one generic function type; going through void(*)() is the
// conversion the compiler accepts without complaint.
template <typename Function> Function Entry(HMODULE library, const char* name) noexcept {
    return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(GetProcAddress(library, name)));
}

int32_t HandleValue(HWND window) noexcept {
    // Window handles carry 32 significant bits, also in 64-bit processes.
    return static_cast<int32_t>(reinterpret_cast<intptr_t>(window));
}

// Wine answers a null handle with some text of its own; no window has no title.
std::string ReadTitle(HWND window) {
    if (!window) return {};
    char buffer[watch::TitleBufferSize] = {};
    const int length = GetWindowTextA(window, buffer, watch::TitleBufferSize);
    if (length <= 0) return {};
    const size_t written = strnlen(buffer, std::min<size_t>(length, watch::MaxTitleLength));
    return watch::CutTitle(std::string_view(buffer, written));
}

bool RegisterReceiverClass(WNDPROC procedure) noexcept {
    static const ATOM atom = [procedure] {
        WNDCLASSEXA windowClass{};
        windowClass.cbSize = sizeof(windowClass);
        windowClass.lpfnWndProc = procedure;
        windowClass.hInstance = GetModuleHandleA(nullptr);
        windowClass.lpszClassName = ReceiverClassName;
        return RegisterClassExA(&windowClass);
    }();
    return atom != 0;
}

} // namespace

TWatch::TWatch() noexcept
    : shellMessage_(RegisterWindowMessageA("WATCH_SHELL_EVENT")),
      keyMessage_(RegisterWindowMessageA("WATCH_KEY_EVENT")),
      mouseMessage_(RegisterWindowMessageA("WATCH_MOUSE_EVENT")) {}

TWatch::~TWatch() {
    Release();
}

std::string TWatch::DefaultLibraryPath() {
    // UTF-8, so that a folder outside the ANSI code page keeps its name.
    return watch::PathBeside(fw::WideToUtf8(fw::ModulePath(nullptr)), LibraryFileName);
}

void TWatch::StartWatching(int32_t kind) noexcept {
    Open();
    if (startWatching_) startWatching_(kind);
}

void TWatch::StopWatching(int32_t kind) noexcept {
    if (!library_ || !stopWatching_ || !stillWatching_) return;
    stopWatching_(kind);
    if (!stillWatching_()) Release();
}

void TWatch::Open() noexcept {
    if (disabled_ || library_) return;
    std::string path;
    try {
        path = libraryPath_.empty() ? DefaultLibraryPath() : libraryPath_;
    } catch (...) {
        path.clear();
    }
    // Never a bare name: a library of that name in the current folder must not be loaded.
    if (!path.empty()) library_.reset(LoadLibraryW(fw::Utf8ToWide(path).c_str()));

    bool receiverMade = false;
    if (library_) {
        receiverMade = CreateReceiver();
        FindEntryPoints();
        // Registering no window would clear another program's registration and pass
        // for success.
        if (setReceiver_ && receiverMade) TakeOver();
    }
    if (library_ && !disabled_ && receiverMade && AllEntryPoints()) return;

    if (!library_) {
        ShowError(NotFoundText);
        fw::RequestTermination();
    } else if (!disabled_ && !AllEntryPoints()) {
        ShowError(NotValidText);
        fw::RequestTermination();
    }
    disabled_ = true;
    Release();
}

void TWatch::TakeOver() noexcept {
    if (setReceiver_(receiver_.get())) return;
    ShowError(InUseText);
    (void)setReceiver_(nullptr);
    fw::RequestTermination();
    if (!setReceiver_(receiver_.get())) {
        ShowError(CannotOverrideText);
        disabled_ = true;
    }
}

void TWatch::Release() noexcept {
    // A program that is no longer the registered receiver leaves the library alone.
    if (getReceiver_ && receiver_ && getReceiver_() == receiver_.get()) {
        if (setReceiver_) (void)setReceiver_(nullptr);
        if (stopAll_) stopAll_();
    }
    receiver_.reset();
    library_.reset();
    startWatching_ = nullptr;
    stopWatching_ = nullptr;
    stopAll_ = nullptr;
    stillWatching_ = nullptr;
    setReceiver_ = nullptr;
    getReceiver_ = nullptr;
}

bool TWatch::CreateReceiver() noexcept {
    if (!RegisterReceiverClass(&ReceiverProc)) return false;
    // A message-only window: never shown, never in any window list.
    receiver_.reset(CreateWindowExA(0, ReceiverClassName, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                    GetModuleHandleA(nullptr), this));
    return receiver_.valid();
}

void TWatch::FindEntryPoints() noexcept {
    const HMODULE library = library_.get();
    startWatching_ = Entry<KindFunction>(library, "StartWatching");
    stopWatching_ = Entry<KindFunction>(library, "StopWatching");
    stillWatching_ = Entry<StillWatchingFunction>(library, "StillWatching");
    stopAll_ = Entry<StopAllFunction>(library, "StopAll");
    setReceiver_ = Entry<SetReceiverFunction>(library, "SetReceiver");
    getReceiver_ = Entry<GetReceiverFunction>(library, "GetReceiver");
}

bool TWatch::AllEntryPoints() const noexcept {
    return startWatching_ && stopWatching_ && stillWatching_ && stopAll_ && setReceiver_ &&
           getReceiver_;
}

LRESULT CALLBACK TWatch::ReceiverProc(HWND window, UINT message, WPARAM wParam,
                                      LPARAM lParam) noexcept {
    if (message == WM_NCCREATE) {
        const auto* create = reinterpret_cast<const CREATESTRUCTA*>(lParam);
        SetWindowLongPtrA(window, GWLP_USERDATA,
                          reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto* self = reinterpret_cast<TWatch*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    if (!self) return DefWindowProcA(window, message, wParam, lParam);
    return self->Dispatch(window, message, wParam, lParam);
}

LRESULT TWatch::Dispatch(HWND window, UINT message, WPARAM wParam, LPARAM lParam) noexcept {
    if (message == shellMessage_) {
        HandleShell(reinterpret_cast<HWND>(wParam), static_cast<int32_t>(lParam));
        return 0;
    }
    if (message == keyMessage_) {
        // Straight through: every keystroke of the session passes here.
        if (OnKeyNative)
            OnKeyNative(*this, static_cast<int32_t>(wParam), static_cast<int32_t>(lParam));
        return 0;
    }
    if (message == mouseMessage_) {
        HandleMouse(static_cast<uint32_t>(wParam), static_cast<uint32_t>(lParam));
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

void TWatch::HandleShell(HWND window, int32_t code) noexcept {
    if (!NotifyOwnEvents && applicationWindow_ && window == applicationWindow_) return;
    try {
        const std::string title = ReadTitle(window);
        const int32_t handle = HandleValue(window);
        switch (watch::DecodeShellCode(code)) {
        case watch::ShellEvent::WindowCreated:
            if (OnWindowCreated) OnWindowCreated(*this, handle, title);
            break;
        case watch::ShellEvent::WindowDestroyed:
            if (OnWindowDestroyed) OnWindowDestroyed(*this, handle, title);
            break;
        case watch::ShellEvent::ActivateShellWindow:
            if (OnActivateShellWindow) OnActivateShellWindow(*this, handle, title);
            break;
        case watch::ShellEvent::WindowActivated:
            if (OnWindowActivated && activations_.ShouldReport(title, RepeatedEvents))
                OnWindowActivated(*this, handle, title);
            break;
        case watch::ShellEvent::None:
            break;
        }
    } catch (...) {
        // Out of memory for a title: the event is dropped rather than the program.
    }
}

void TWatch::HandleMouse(uint32_t message, uint32_t position) noexcept {
    const watch::MouseEvent event = watch::DecodeMouse(message, position);
    switch (event.action) {
    case watch::MouseAction::Move:
        if (OnMouseMove) OnMouseMove(*this, event.x, event.y);
        break;
    case watch::MouseAction::Down:
        if (OnMouseDown) OnMouseDown(*this, event.button, event.doubleClick, event.x, event.y);
        break;
    case watch::MouseAction::Up:
        if (OnMouseUp) OnMouseUp(*this, event.button, event.doubleClick, event.x, event.y);
        break;
    }
}

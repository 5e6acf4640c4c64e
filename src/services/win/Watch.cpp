#include "services/win/Watch.h"

#include "framework/win/Application.h"
#include "framework/win/MessageOnlyWindow.h"
#include "framework/win/WidePath.h"

#include <algorithm>
#include <cstring>
#include <exception>
#include <string_view>

namespace zevaver {

namespace {

using hookprotocol::LibraryFileName;
constexpr char ReceiverClassName[] = "MKWatchReceiver";

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

} // namespace

TWatch::TWatch() noexcept : messages_(hookprotocol::RegisterMessages()) {}

HWND TWatch::ReceiverWindow() const noexcept {
    return receiver_ ? receiver_->Handle() : nullptr;
}

TWatch::~TWatch() {
    Release();
}

std::string TWatch::DefaultLibraryPath() {
    // UTF-8, so that a folder outside the ANSI code page keeps its name.
    return watch::PathBeside(fw::WideToUtf8(fw::ModulePath(nullptr)), LibraryFileName);
}

WatchStatus TWatch::StartWatching(int32_t kind) noexcept {
    const WatchStatus status = Open();
    if (startWatching_) startWatching_(kind);
    return status;
}

void TWatch::StopWatching(int32_t kind) noexcept {
    if (!library_ || !stopWatching_ || !stillWatching_) return;
    stopWatching_(kind);
    if (!stillWatching_()) Release();
}

void TWatch::Rewatch(int32_t kind) noexcept {
    if (!library_ || !stopWatching_ || !startWatching_) return;
    stopWatching_(kind);
    startWatching_(kind);
}

WatchStatus TWatch::Open() noexcept {
    if (disabled_) return WatchStatus::Disabled;
    if (library_) return WatchStatus::Ok;
    std::string path;
    try {
        path = libraryPath_.empty() ? DefaultLibraryPath() : libraryPath_;
    } catch (...) {
        path.clear();
    }
    // Never a bare name: a library of that name in the current folder must not be loaded.
    if (!path.empty()) library_.reset(LoadLibraryW(fw::Utf8ToWide(path).c_str()));

    bool receiverMade = false;
    WatchStatus status = WatchStatus::Ok;
    if (library_) {
        receiverMade = CreateReceiver();
        FindEntryPoints();
        // Registering no window would clear another program's registration and pass
        // for success.
        if (setReceiver_ && receiverMade) status = TakeOver();
    }
    if (library_ && !disabled_ && receiverMade && AllEntryPoints()) return status;

    if (!library_) {
        status = WatchStatus::NotFound;
    } else if (!disabled_ && !AllEntryPoints()) {
        status = WatchStatus::NotValid;
    } else if (status == WatchStatus::Ok) {
        status = WatchStatus::Disabled;
    }
    disabled_ = true;
    Release();
    return status;
}

WatchStatus TWatch::TakeOver() noexcept {
    if (setReceiver_(ReceiverWindow())) return WatchStatus::Ok;
    (void)setReceiver_(nullptr);
    if (!setReceiver_(ReceiverWindow())) {
        disabled_ = true;
        return WatchStatus::CannotOverride;
    }
    return WatchStatus::InUse;
}

void TWatch::Release() noexcept {
    // A program that is no longer the registered receiver leaves the library alone.
    if (getReceiver_ && receiver_ && getReceiver_() == ReceiverWindow()) {
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
    try {
        // The hidden window the hook library posts to.
        receiver_ = std::make_unique<fw::MessageOnlyWindow>(
            [this](UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
                return Dispatch(message, wParam, lParam, result);
            });
    } catch (...) {
        return false;
    }
    if (receiver_->Create(ReceiverClassName)) return true;
    receiver_.reset();
    return false;
}

void TWatch::FindEntryPoints() noexcept {
    const HMODULE library = library_.get();
    using namespace hookprotocol;
    startWatching_ = Entry<StartWatchingFunction>(library, StartWatchingExport);
    stopWatching_ = Entry<StopWatchingFunction>(library, StopWatchingExport);
    stillWatching_ = Entry<StillWatchingFunction>(library, StillWatchingExport);
    stopAll_ = Entry<StopAllFunction>(library, StopAllExport);
    setReceiver_ = Entry<SetReceiverFunction>(library, SetReceiverExport);
    getReceiver_ = Entry<GetReceiverFunction>(library, GetReceiverExport);
}

bool TWatch::AllEntryPoints() const noexcept {
    return startWatching_ && stopWatching_ && stillWatching_ && stopAll_ && setReceiver_ &&
           getReceiver_;
}

bool TWatch::Dispatch(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) noexcept {
    result = 0;
    if (message == messages_.shell) {
        HandleShell(reinterpret_cast<HWND>(wParam), static_cast<int32_t>(lParam));
        return true;
    }
    if (message == messages_.key) {
        // Straight through: every keystroke of the session passes here, mostly inside the
        // keyboard hook's own call, while all input waits for it.
        fw::HeldErrorBoxes held(ReceiverWindow());
        try {
            if (OnKeyNative)
                OnKeyNative(*this, static_cast<int32_t>(wParam), static_cast<int32_t>(lParam));
        } catch (const std::exception& error) {
            fw::ReportError(error.what());
        } catch (...) {
            fw::ReportError("Unexpected error.");
        }
        return true;
    }
    if (message == messages_.mouse) {
        HandleMouse(static_cast<uint32_t>(wParam), static_cast<uint32_t>(lParam));
        return true;
    }
    return false;
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

} // namespace zevaver

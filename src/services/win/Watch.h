// TWatch: sees keystrokes, mouse activity and top-level window events system-wide by
// way of the hook library "vivuvav.dll", which it loads on the first StartWatching and
// which posts what it sees to a hidden receiver window of this component. The window's
// messages become the component's events. Everything here runs on the thread that made
// it (the program's input thread).
#pragma once

#include <windows.h>

#include "framework/win/Handles.h"
#include "services/WatchEvents.h"
#include "services/WatchStatus.h"
#include "services/win/HookProtocol.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

namespace zevaver {

namespace fw {
class MessageOnlyWindow;
}

class TWatch;

// Handle is the window concerned; AppName its title, at most 299 characters.
using TShellEvent = std::function<void(TWatch& sender, int32_t handle, const std::string& appName)>;
// wParam and lParam exactly as the library delivered them.
using TKeyNativeEvent = std::function<void(TWatch& sender, int32_t wParam, int32_t lParam)>;
using TWatchMouseEvent = std::function<void(TWatch& sender, watch::MouseButton button,
                                            bool doubleClick, int32_t x, int32_t y)>;
using TWatchMouseMoveEvent = std::function<void(TWatch& sender, int32_t x, int32_t y)>;

class TWatch {
public:
    // Registers the three message names; loads nothing.
    TWatch() noexcept;
    // Releases the library.
    ~TWatch();
    TWatch(const TWatch&) = delete;
    TWatch& operator=(const TWatch&) = delete;

    // Opens the library if it is not open, then switches the kind on. The status is that
    // of opening: Ok once open, Disabled after a failure already returned; the caller
    // decides what to show (ReportFor).
    WatchStatus StartWatching(int32_t kind) noexcept;
    // Switches the kind off; releases the library once nothing is watched any more.
    void StopWatching(int32_t kind) noexcept;
    // Switches the kind off and on again, keeping the library: for a hook the system
    // dropped.
    void Rewatch(int32_t kind) noexcept;

    // When false, shell events about the application's own top-level window are dropped.
    bool NotifyOwnEvents = false;
    // When false, an activation with the same title as the last one is not reported.
    bool RepeatedEvents = false;

    TShellEvent OnActivateShellWindow;
    TShellEvent OnWindowActivated;
    TShellEvent OnWindowCreated;
    TShellEvent OnWindowDestroyed;
    TKeyNativeEvent OnKeyNative;
    TWatchMouseEvent OnMouseDown;
    TWatchMouseMoveEvent OnMouseMove;
    TWatchMouseEvent OnMouseUp;

    // The application's own top-level window, whose shell events NotifyOwnEvents governs.
    void SetApplicationWindow(HWND window) noexcept { applicationWindow_ = window; }
    // The library is loaded from the program's own folder only; tests may name another
    // full path (UTF-8) before the first StartWatching.
    void SetLibraryPath(std::string fullPath) { libraryPath_ = std::move(fullPath); }
    [[nodiscard]] static std::string DefaultLibraryPath();

    [[nodiscard]] bool Disabled() const noexcept { return disabled_; }
    [[nodiscard]] bool LibraryLoaded() const noexcept { return library_.valid(); }
    [[nodiscard]] HWND ReceiverWindow() const noexcept;
    [[nodiscard]] UINT ShellMessage() const noexcept { return messages_.shell; }
    [[nodiscard]] UINT KeyMessage() const noexcept { return messages_.key; }
    [[nodiscard]] UINT MouseMessage() const noexcept { return messages_.mouse; }

private:
    // The library's messages; false for any other.
    bool Dispatch(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) noexcept;
    void HandleShell(HWND window, int32_t code) noexcept;
    void HandleMouse(uint32_t message, uint32_t position) noexcept;

    [[nodiscard]] WatchStatus Open() noexcept;
    [[nodiscard]] WatchStatus TakeOver() noexcept;
    void Release() noexcept;
    [[nodiscard]] bool CreateReceiver() noexcept;
    void FindEntryPoints() noexcept;
    [[nodiscard]] bool AllEntryPoints() const noexcept;

    std::unique_ptr<fw::MessageOnlyWindow> receiver_;
    fw::Library library_;
    bool disabled_ = false;
    hookprotocol::Messages messages_;
    hookprotocol::StartWatchingFunction startWatching_ = nullptr;
    hookprotocol::StopWatchingFunction stopWatching_ = nullptr;
    hookprotocol::StopAllFunction stopAll_ = nullptr;
    hookprotocol::StillWatchingFunction stillWatching_ = nullptr;
    hookprotocol::SetReceiverFunction setReceiver_ = nullptr;
    hookprotocol::GetReceiverFunction getReceiver_ = nullptr;
    watch::ActivationFilter activations_;
    HWND applicationWindow_ = nullptr;
    std::string libraryPath_;
};

} // namespace zevaver

// TWatch: sees keystrokes, mouse activity and top-level window events system-wide by
// way of the hook library "vivuvav.dll", which it loads on the first StartWatching and
// which posts what it sees to a hidden receiver window of this component. The window's
// messages become the component's events. Everything here runs on the main thread.
#pragma once

#include <windows.h>

#include "framework/win/Handles.h"
#include "services/WatchEvents.h"

#include <cstdint>
#include <functional>
#include <string>

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

    // Opens the library if it is not open, then switches the kind on.
    void StartWatching(int32_t kind) noexcept;
    // Switches the kind off; releases the library once nothing is watched any more.
    void StopWatching(int32_t kind) noexcept;

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
    [[nodiscard]] HWND ReceiverWindow() const noexcept { return receiver_.get(); }
    [[nodiscard]] UINT ShellMessage() const noexcept { return shellMessage_; }
    [[nodiscard]] UINT KeyMessage() const noexcept { return keyMessage_; }
    [[nodiscard]] UINT MouseMessage() const noexcept { return mouseMessage_; }

private:
    using KindFunction = void(WINAPI*)(int32_t kind);
    using StillWatchingFunction = BOOL(WINAPI*)();
    using StopAllFunction = void(WINAPI*)();
    using SetReceiverFunction = BOOL(WINAPI*)(HWND window);
    using GetReceiverFunction = HWND(WINAPI*)();

    static LRESULT CALLBACK ReceiverProc(HWND window, UINT message, WPARAM wParam,
                                         LPARAM lParam) noexcept;
    LRESULT Dispatch(HWND window, UINT message, WPARAM wParam, LPARAM lParam) noexcept;
    void HandleShell(HWND window, int32_t code) noexcept;
    void HandleMouse(uint32_t message, uint32_t position) noexcept;

    void Open() noexcept;
    void TakeOver() noexcept;
    void Release() noexcept;
    [[nodiscard]] bool CreateReceiver() noexcept;
    void FindEntryPoints() noexcept;
    [[nodiscard]] bool AllEntryPoints() const noexcept;

    fw::Window receiver_;
    fw::Library library_;
    bool disabled_ = false;
    UINT shellMessage_ = 0;
    UINT keyMessage_ = 0;
    UINT mouseMessage_ = 0;
    KindFunction startWatching_ = nullptr;
    KindFunction stopWatching_ = nullptr;
    StopAllFunction stopAll_ = nullptr;
    StillWatchingFunction stillWatching_ = nullptr;
    SetReceiverFunction setReceiver_ = nullptr;
    GetReceiverFunction getReceiver_ = nullptr;
    watch::ActivationFilter activations_;
    HWND applicationWindow_ = nullptr;
    std::string libraryPath_;
};

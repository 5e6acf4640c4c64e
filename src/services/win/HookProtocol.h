// What the hook library and the input watch agree on, included by both: the library's
// file name, its six exports by name and type, and the three registered messages it posts
// to the receiver window. How the messages' parameters are encoded and decoded, the kinds
// of watching and the event kinds are in services/WatchEvents.h.
#pragma once

#include <windows.h>

#include "services/WatchEvents.h"

#include <cstdint>

namespace zevaver {

namespace hookprotocol {

inline constexpr char LibraryFileName[] = "vivuvav.dll";

// Registered message names: a shell event (wParam the window, lParam the shell code), a
// keystroke (wParam the key code, lParam the keystroke flags), a mouse event (wParam the
// mouse message, lParam the packed position).
inline constexpr char ShellMessageName[] = "WATCH_SHELL_EVENT";
inline constexpr char KeyMessageName[] = "WATCH_KEY_EVENT";
inline constexpr char MouseMessageName[] = "WATCH_MOUSE_EVENT";

struct Messages {
    UINT shell = 0;
    UINT key = 0;
    UINT mouse = 0;
};
[[nodiscard]] inline Messages RegisterMessages() noexcept {
    return {RegisterWindowMessageA(ShellMessageName), RegisterWindowMessageA(KeyMessageName),
            RegisterWindowMessageA(MouseMessageName)};
}

// The exports. A kind is one of watch::KindKeyboard, KindMouse, KindShell.
using StartWatchingFunction = void(WINAPI*)(int32_t kind);
using StopWatchingFunction = void(WINAPI*)(int32_t kind);
using StillWatchingFunction = BOOL(WINAPI*)();
using StopAllFunction = void(WINAPI*)();
using SetReceiverFunction = BOOL(WINAPI*)(HWND window);
using GetReceiverFunction = HWND(WINAPI*)();

inline constexpr char StartWatchingExport[] = "StartWatching";
inline constexpr char StopWatchingExport[] = "StopWatching";
inline constexpr char StillWatchingExport[] = "StillWatching";
inline constexpr char StopAllExport[] = "StopAll";
inline constexpr char SetReceiverExport[] = "SetReceiver";
inline constexpr char GetReceiverExport[] = "GetReceiver";

} // namespace hookprotocol

} // namespace zevaver

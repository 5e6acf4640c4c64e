// The hooks of one process, owned by the library's hook thread: they are installed,
// called and removed on that thread only. The callbacks only turn what they see into a
// message for the receiver and post it.
#pragma once

#include <windows.h>

#include "KeyboardWatch.h"
#include "ProjectParts.h"
#include "SharedReceiver.h"
#include "framework/win/Handles.h"
#include "services/WatchEvents.h"
#include "services/win/HookProtocol.h"

#include <unordered_set>

namespace vivuvav {

// A timer of the calling thread (no window), stopped with KillTimer.
struct ThreadTimerTraits {
    using Handle = UINT_PTR;
    static constexpr Handle Invalid() noexcept { return 0; }
    static void Close(Handle timer) noexcept { KillTimer(nullptr, timer); }
};
using ThreadTimer = fw::UniqueHandle<ThreadTimerTraits>;

class HookSet {
public:
    explicit HookSet(HMODULE module) noexcept;
    ~HookSet();
    HookSet(const HookSet&) = delete;
    HookSet& operator=(const HookSet&) = delete;

    // Turns one kind of watching on or off; unknown kinds are ignored.
    void Switch(int kind, bool on) noexcept;
    // One bit (1 << kind) for each kind whose hooks are in place.
    [[nodiscard]] unsigned Active() const noexcept;

private:
    static LRESULT CALLBACK MouseProc(int code, WPARAM wParam, LPARAM lParam) noexcept;
    static void CALLBACK WindowEventProc(HWINEVENTHOOK hook, DWORD event, HWND window, LONG object,
                                         LONG child, DWORD thread, DWORD time) noexcept;
    static BOOL CALLBACK CollectTopLevel(HWND window, LPARAM windows) noexcept;
    static void CALLBACK SweepProc(HWND window, UINT message, UINT_PTR timer, DWORD time) noexcept;

    void OnWindowEvent(DWORD event, HWND window) noexcept;
    void ReportCreated(HWND window) noexcept;
    void ReportForeground(HWND window) noexcept;
    void ReportDestroyed(HWND window) noexcept;
    void Sweep() noexcept;
    void Post(UINT message, WPARAM wParam, LPARAM lParam) noexcept;

    void SwitchKeyboard(bool on) noexcept;
    void SwitchMouse(bool on) noexcept;
    void SwitchShell(bool on) noexcept;

    // The hook procedures reach the one hook set of this process through this.
    static HookSet* current_;

    HMODULE module_;
    hookprotocol::Messages messages_;
    LocalReceiver receiver_;
    // Top-level windows seen alive: a destroyed window can no longer be asked whether
    // it was one, so only these are reported when they go.
    std::unordered_set<HWND> topLevel_;
    HWND lastForeground_ = nullptr;
    // Declared last so they are removed before the state their procedures use.
    KeyboardWatch keyboard_;
    fw::Hook mouse_;
    fw::WinEventHook windowLife_;
    fw::WinEventHook foreground_;
    // Not every system raises these events reliably (Wine 8 never raises the foreground
    // and destruction events, and raises creation only for threads that have not yet
    // read their message queue), so a sweep looks for what they would have said.
    ThreadTimer sweep_;
};

} // namespace vivuvav

// Tells when the input desktop changes: the lock screen, the secure attention screen and
// elevation prompts come and go on desktops of their own, and the keys released there are
// never seen by the hooks of this one. Out of context, so the calls arrive through the
// message loop of the thread that started watching.
#pragma once

#include <windows.h>

#include "framework/win/Handles.h"

#include <functional>

namespace zevaver {

class DesktopSwitch {
public:
    DesktopSwitch() = default;
    ~DesktopSwitch();
    DesktopSwitch(const DesktopSwitch&) = delete;
    DesktopSwitch& operator=(const DesktopSwitch&) = delete;

    // One watcher at a time: the platform's callback carries no context of its own. False
    // when the platform refused the event hook (the program plays on without it).
    bool Start(std::function<void()> onSwitch) noexcept;
    void Stop() noexcept;
    [[nodiscard]] bool Watching() const noexcept { return hook_.valid(); }

private:
    static void CALLBACK EventProc(HWINEVENTHOOK hook, DWORD event, HWND window, LONG object,
                                   LONG child, DWORD thread, DWORD time) noexcept;

    fw::WinEventHook hook_;
    std::function<void()> onSwitch_;
};

} // namespace zevaver

// The hook's watchdog, on the window's thread: raw keyboard input there counts every
// keystroke (HookWatchdog), and when the keyboard hook on the input thread missed one, the
// input thread is told to hook again and to bring its held keys in line with the system's.
//
// Raw input must not go to the hook's own thread: it is queued there just before the hook
// is called, so after a quiet spell Wine finds that thread's queue waiting unread for more
// than its five seconds, judges it hung and passes over its hook (the first key after a
// pause went unheard that way). Nothing but the hook and the engine's commands wakes that
// thread now.
//
// Without raw input, the system's record of the last input is compared once a second with
// the last the hooks reported.
#pragma once

#include <windows.h>

#include "framework/win/MessageOnlyWindow.h"
#include "services/HookWatchdog.h"

#include <atomic>
#include <functional>

namespace zevaver {

class WinHookWatchdog {
public:
    // hookMissed runs on this thread when the hook missed keys; lastSeen gives the tick of
    // the last input the hooks reported.
    WinHookWatchdog(const HookTally& hook, std::function<void()> hookMissed,
                    std::function<uint32_t()> lastSeen) noexcept;
    ~WinHookWatchdog();
    WinHookWatchdog(const WinHookWatchdog&) = delete;
    WinHookWatchdog& operator=(const WinHookWatchdog&) = delete;

    // Starts watching; false when even the window could not be made.
    [[nodiscard]] bool Start() noexcept;
    [[nodiscard]] bool RawInput() const noexcept { return rawInput_; }

private:
    bool Handle(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) noexcept;
    void RawKey(HRAWINPUT input) noexcept;
    void ScheduleCheck() noexcept;
    void Check() noexcept;
    void CheckUnseenInput() noexcept;

    HookWatchdog watchdog_;
    std::function<void()> hookMissed_;
    std::function<uint32_t()> lastSeen_;
    fw::MessageOnlyWindow window_;
    bool rawInput_ = false;
    bool checkDue_ = false;
    DWORD actedOn_ = 0;
};

} // namespace zevaver

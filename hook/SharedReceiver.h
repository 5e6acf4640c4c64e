// The one receiver window of the whole session, kept in named shared memory so that
// every process that loads the library sees the same registration.
#pragma once

#include <windows.h>

namespace vivuvav {

// Registers the window when none is registered, when it is the registered one already,
// or when the registered one no longer exists; 0 clears the registration. Returns
// whether the window is now the receiver (always true for 0).
[[nodiscard]] bool SetSharedReceiver(HWND window) noexcept;
// The registered window, 0 when none (or when the shared block could not be opened).
[[nodiscard]] HWND SharedReceiver() noexcept;

// The receiver to post to from this process: the registered window while it belongs to
// this process, otherwise 0, so that two watching processes never deliver one event
// twice. Remembers the owner of the last handle it saw, to keep the hook path cheap;
// used on one thread only.
class LocalReceiver {
public:
    [[nodiscard]] HWND Current() noexcept;
    // The thread that owns the window Current() last answered.
    [[nodiscard]] DWORD Thread() const noexcept { return thread_; }

private:
    HWND last_ = nullptr;
    bool ours_ = false;
    DWORD thread_ = 0;
};

// Whether the registered receiver belongs to the calling thread.
[[nodiscard]] bool ReceiverOnThisThread() noexcept;

} // namespace vivuvav

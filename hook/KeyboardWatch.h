// The keyboard hook of one thread. It turns every keystroke into the key message and hands
// it to the receiver: sent straight into the receiver's window procedure when the receiver
// belongs to the hooking thread, so the program sees the key inside the hook's own call,
// with no second thread to wake; posted otherwise.
#pragma once

#include <windows.h>

#include "ProjectParts.h"
#include "SharedReceiver.h"
#include "framework/win/Handles.h"
#include "services/WatchEvents.h"

#include <atomic>

namespace vivuvav {

class KeyboardWatch {
public:
    KeyboardWatch() noexcept;
    ~KeyboardWatch();
    KeyboardWatch(const KeyboardWatch&) = delete;
    KeyboardWatch& operator=(const KeyboardWatch&) = delete;

    // Installs the hook on the calling thread, which must run a message loop: the platform
    // calls the hook from that thread's message retrieval. Only one keyboard watch of a
    // process runs at a time. While it runs it holds a reference to the library, so the
    // hook's code stays loaded whoever unloads the library.
    void Start() noexcept;
    // Callable from any thread of the process.
    void Stop() noexcept;
    [[nodiscard]] bool Active() const noexcept { return active_; }

private:
    static LRESULT CALLBACK Proc(int code, WPARAM wParam, LPARAM lParam) noexcept;
    void OnKey(const KBDLLHOOKSTRUCT& key) noexcept;

    // The hook procedure reaches the running watch through this.
    static std::atomic<KeyboardWatch*> current_;

    UINT message_;
    watch::KeyStateTracker keys_;
    LocalReceiver receiver_;
    HMODULE module_ = nullptr;
    std::atomic<bool> active_{false};
    fw::Hook hook_;
};

} // namespace vivuvav

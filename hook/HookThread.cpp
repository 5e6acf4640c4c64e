#include "HookThread.h"

#include "HookSet.h"
#include "KeyboardWatch.h"
#include "SharedReceiver.h"
#include "framework/win/Handles.h"
#include "services/WatchEvents.h"

#include <atomic>

namespace vivuvav {
namespace {

// A thread message to the hook thread: wParam the kind, lParam nonzero to switch it on.
constexpr UINT SwitchMessage = WM_APP + 0x57;

// Any object inside this module, to find the module by address.
const char moduleAnchor = 0;

SRWLOCK controlLock = SRWLOCK_INIT;
// Guarded by controlLock.
fw::KernelHandle hookThread;
DWORD hookThreadId = 0;
// Set by the hook thread once its queue exists and after each switch it carries out.
fw::KernelHandle replied;

std::atomic<unsigned> activeKinds{0};

// The keyboard watched on the receiver's own thread (see HookThread.h). Guarded by
// controlLock.
KeyboardWatch& ReceiverKeyboard() noexcept {
    static KeyboardWatch keyboard;
    return keyboard;
}

bool HookThreadWatches(int kind) noexcept {
    return (activeKinds & (1u << kind)) != 0;
}

class ControlScope {
public:
    ControlScope() noexcept { AcquireSRWLockExclusive(&controlLock); }
    ~ControlScope() { ReleaseSRWLockExclusive(&controlLock); }
    ControlScope(const ControlScope&) = delete;
    ControlScope& operator=(const ControlScope&) = delete;
};

DWORD WINAPI HookThreadMain(void* parameter) noexcept {
    const auto module = static_cast<HMODULE>(parameter);
    {
        HookSet hooks(module);
        MSG message{};
        PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE); // creates this thread's queue
        SetEvent(replied.get());
        while (GetMessageA(&message, nullptr, 0, 0) > 0) {
            if (message.hwnd == nullptr && message.message == SwitchMessage) {
                hooks.Switch(static_cast<int>(message.wParam), message.lParam != 0);
                activeKinds = hooks.Active();
                SetEvent(replied.get());
                continue;
            }
            DispatchMessageA(&message);
        }
        activeKinds = 0;
    }
    // The thread holds its own reference to the library, so a program that unloads the
    // library without stopping the watch never pulls the code from under this thread.
    FreeLibraryAndExitThread(module, 0);
}

// Waits for the hook thread's answer; false if the thread ended instead.
bool AwaitReply() noexcept {
    const HANDLE handles[] = {replied.get(), hookThread.get()};
    return WaitForMultipleObjects(2, handles, FALSE, INFINITE) == WAIT_OBJECT_0;
}

void JoinHookThread() noexcept {
    if (!hookThread) return;
    PostThreadMessageA(hookThreadId, WM_QUIT, 0, 0);
    WaitForSingleObject(hookThread.get(), INFINITE);
    hookThread.reset();
    hookThreadId = 0;
    activeKinds = 0;
}

bool EnsureHookThread() noexcept {
    if (hookThread) return true;
    if (!replied) replied.reset(CreateEventA(nullptr, FALSE, FALSE, nullptr));
    if (!replied) return false;
    HMODULE module = nullptr;
    if (!GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS, &moduleAnchor, &module))
        return false;
    DWORD id = 0;
    hookThread.reset(CreateThread(nullptr, 0, &HookThreadMain, module, 0, &id));
    if (!hookThread) {
        FreeLibrary(module);
        return false;
    }
    hookThreadId = id;
    // Low-level hooks hold up all input of the session until they return.
    SetThreadPriority(hookThread.get(), THREAD_PRIORITY_HIGHEST);
    if (!AwaitReply()) {
        JoinHookThread();
        return false;
    }
    return true;
}

void SwitchKind(int kind, bool on) noexcept {
    if (PostThreadMessageA(hookThreadId, SwitchMessage, static_cast<WPARAM>(kind), on ? 1 : 0))
        (void)AwaitReply();
}

} // namespace

void StartKind(int kind) noexcept {
    if (!watch::IsKnownKind(kind)) return;
    ControlScope scope;
    if (kind == watch::KindKeyboard) {
        if (ReceiverKeyboard().Active() || HookThreadWatches(kind)) return;
        if (ReceiverOnThisThread()) {
            ReceiverKeyboard().Start();
            if (ReceiverKeyboard().Active()) return;
        }
    }
    if (EnsureHookThread()) SwitchKind(kind, true);
}

void StopKind(int kind) noexcept {
    if (!watch::IsKnownKind(kind)) return;
    ControlScope scope;
    if (kind == watch::KindKeyboard) ReceiverKeyboard().Stop();
    if (!hookThread) return;
    SwitchKind(kind, false);
    if (activeKinds == 0) JoinHookThread();
}

bool AnyKindActive() noexcept {
    return activeKinds != 0 || ReceiverKeyboard().Active();
}

void StopAllKinds() noexcept {
    ControlScope scope;
    ReceiverKeyboard().Stop();
    JoinHookThread();
}

} // namespace vivuvav

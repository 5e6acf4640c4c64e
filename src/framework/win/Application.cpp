#include "framework/win/Application.h"

#include <atomic>
#include <utility>
#include <vector>

namespace zevaver {

namespace fw {
namespace {

std::atomic<bool> terminationRequested{false};
std::atomic<DWORD> mainThreadId{GetCurrentThreadId()};

int DefaultMessageBox(HWND owner, const char* text, const char* caption, UINT type) noexcept {
    return MessageBoxA(owner, text, caption, type);
}

MessageBoxFunction messageBox = &DefaultMessageBox;
// Where error boxes go: their owner, and the boxes held back meanwhile. Other threads read
// the owner and add to the held boxes too, so those are guarded.
struct ErrorBoxes {
    std::atomic<HWND> owner{nullptr};
    int holdDepth = 0;
    SRWLOCK lock = SRWLOCK_INIT;
    std::vector<std::string> held;
};
ErrorBoxes errors;

class HeldLock {
public:
    HeldLock() noexcept { AcquireSRWLockExclusive(&errors.lock); }
    ~HeldLock() { ReleaseSRWLockExclusive(&errors.lock); }
    HeldLock(const HeldLock&) = delete;
    HeldLock& operator=(const HeldLock&) = delete;
};

// Keeps a box for the main thread to show; false when there was no room for it.
bool Hold(const std::string& text) noexcept {
    HeldLock lock;
    try {
        errors.held.push_back(text);
        return true;
    } catch (...) {
        return false;
    }
}

// Asks the main thread to show the held boxes: through the owner when there is one, else
// through the main loop.
void PostHeldErrors(HWND window) noexcept {
    if (window && IsWindow(window)) {
        PostMessageA(window, HeldErrorsMessage(), 0, 0);
    } else {
        PostThreadMessageA(mainThreadId, HeldErrorsMessage(), 0, 0);
    }
}

} // namespace

void RequestTermination() noexcept {
    terminationRequested = true;
    // Wake the main loop if it is waiting in GetMessage.
    PostThreadMessageA(mainThreadId, WM_NULL, 0, 0);
}

bool TerminationRequested() noexcept {
    return terminationRequested;
}

void ClearTerminationRequest() noexcept {
    terminationRequested = false;
}

int RunMessageLoop() noexcept {
    mainThreadId = GetCurrentThreadId();
    MSG message{};
    while (!terminationRequested) {
        BOOL got = GetMessageA(&message, nullptr, 0, 0);
        if (got == 0) return static_cast<int>(message.wParam);
        if (got == -1) return 1;
        if (message.hwnd == nullptr && message.message == HeldErrorsMessage()) {
            ShowHeldErrors();
            continue;
        }
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return 0;
}

void ProcessMessages() noexcept {
    MSG message{};
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) {
            PostQuitMessage(static_cast<int>(message.wParam));
            return;
        }
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    // A termination requested meanwhile had its wake-up taken from the queue here. When
    // this runs inside a message sent from another thread or process (the tray icon's
    // click), the main loop's GetMessage would go on waiting for a message that may never
    // come; wake it again.
    if (terminationRequested) PostThreadMessageA(GetCurrentThreadId(), WM_NULL, 0, 0);
}

MessageBoxFunction SetMessageBoxFunction(MessageBoxFunction function) noexcept {
    MessageBoxFunction previous = messageBox;
    messageBox = function ? function : &DefaultMessageBox;
    return previous;
}

int ShowMessageBox(HWND owner, const char* text, const char* caption, UINT type) noexcept {
    return messageBox(owner, text, caption, type);
}

// A box is modal: it is shown only on the main thread, and only outside a call that holds
// up the session's input. Without room to keep it, a box is lost rather than the input held
// up.
void ReportError(const std::string& text) noexcept {
    if (GetCurrentThreadId() != mainThreadId) {
        if (Hold(text)) PostHeldErrors(errors.owner.load());
        return;
    }
    if (errors.holdDepth > 0) {
        (void)Hold(text);
        return;
    }
    HWND owner = errors.owner.load();
    if (owner && !IsWindow(owner)) owner = nullptr;
    (void)ShowMessageBox(owner, text.c_str(), "Error", MB_OK | MB_ICONERROR);
}

void SetErrorOwner(HWND owner) noexcept {
    errors.owner.store(owner);
}

// Off the main thread every box is handed over anyway.
HeldErrorBoxes::HeldErrorBoxes(HWND window) noexcept
    : window_(window), holding_(GetCurrentThreadId() == mainThreadId) {
    if (holding_) ++errors.holdDepth;
}

HeldErrorBoxes::~HeldErrorBoxes() {
    if (!holding_ || --errors.holdDepth != 0) return;
    bool any = false;
    {
        HeldLock lock;
        any = !errors.held.empty();
    }
    if (any) PostMessageA(window_, HeldErrorsMessage(), 0, 0);
}

UINT HeldErrorsMessage() noexcept {
    static const UINT message = RegisterWindowMessageA("MKHeldErrors");
    return message;
}

void ShowHeldErrors() noexcept {
    std::vector<std::string> texts;
    {
        HeldLock lock;
        texts = std::exchange(errors.held, {});
    }
    for (const std::string& text : texts) ReportError(text);
}

} // namespace fw

} // namespace zevaver

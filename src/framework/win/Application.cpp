#include "framework/win/Application.h"

#include <atomic>

namespace zevaver {

namespace fw {
namespace {

std::atomic<bool> terminationRequested{false};
DWORD mainThreadId = GetCurrentThreadId();

int DefaultMessageBox(HWND owner, const char* text, const char* caption, UINT type) noexcept {
    return MessageBoxA(owner, text, caption, type);
}

MessageBoxFunction messageBox = &DefaultMessageBox;
HWND errorOwner = nullptr;

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

void ReportError(const std::string& text) noexcept {
    const HWND owner = errorOwner && IsWindow(errorOwner) ? errorOwner : nullptr;
    (void)ShowMessageBox(owner, text.c_str(), "Error", MB_OK | MB_ICONERROR);
}

void SetErrorOwner(HWND owner) noexcept {
    errorOwner = owner;
}

} // namespace fw

} // namespace zevaver

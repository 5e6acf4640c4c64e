#include "framework/win/Application.h"

#include <atomic>
#include <utility>
#include <vector>

namespace zevaver {

namespace fw {
namespace {

std::atomic<bool> terminationRequested{false};
DWORD mainThreadId = GetCurrentThreadId();

int DefaultMessageBox(HWND owner, const char* text, const char* caption, UINT type) noexcept {
    return MessageBoxA(owner, text, caption, type);
}

MessageBoxFunction messageBox = &DefaultMessageBox;
// Where error boxes go: their owner, and the boxes held back meanwhile.
struct ErrorBoxes {
    HWND owner = nullptr;
    int holdDepth = 0;
    std::vector<std::string> held;
};
ErrorBoxes errors;

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
    if (errors.holdDepth > 0) {
        try {
            errors.held.push_back(text);
        } catch (...) {
            // Without room to keep it, the box is lost rather than the input held up.
        }
        return;
    }
    const HWND owner = errors.owner && IsWindow(errors.owner) ? errors.owner : nullptr;
    (void)ShowMessageBox(owner, text.c_str(), "Error", MB_OK | MB_ICONERROR);
}

void SetErrorOwner(HWND owner) noexcept {
    errors.owner = owner;
}

HeldErrorBoxes::HeldErrorBoxes(HWND window) noexcept : window_(window) {
    ++errors.holdDepth;
}

HeldErrorBoxes::~HeldErrorBoxes() {
    if (--errors.holdDepth == 0 && !errors.held.empty())
        PostMessageA(window_, HeldErrorsMessage(), 0, 0);
}

UINT HeldErrorsMessage() noexcept {
    static const UINT message = RegisterWindowMessageA("MKHeldErrors");
    return message;
}

void ShowHeldErrors() noexcept {
    std::vector<std::string> texts = std::exchange(errors.held, {});
    for (const std::string& text : texts) ReportError(text);
}

} // namespace fw

} // namespace zevaver

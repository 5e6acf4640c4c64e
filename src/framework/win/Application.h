// The least application object the program needs: the main message loop, a request to
// terminate that takes effect when that loop next runs, and the one route by which
// message boxes are shown (replaceable, so tests never wait on a box nobody closes).
#pragma once

#include <windows.h>

#include <string>

namespace zevaver {

namespace fw {

// Asks the main message loop to end. Safe to call from inside a modal loop (a message
// box, a menu): the request is only a flag and a wake-up, so the modal loop goes on.
void RequestTermination() noexcept;
[[nodiscard]] bool TerminationRequested() noexcept;
// Forgets an earlier request (tests that run several starts in one process).
void ClearTerminationRequest() noexcept;

// Runs the main message loop until WM_QUIT arrives or termination is requested.
// Returns the exit code.
int RunMessageLoop() noexcept;

// Processes the messages already waiting, once.
void ProcessMessages() noexcept;

using MessageBoxFunction = int (*)(HWND owner, const char* text, const char* caption,
                                   UINT type) noexcept;
// Replaces the function behind ShowMessageBox; nullptr restores MessageBoxA. Returns the
// previous one.
MessageBoxFunction SetMessageBoxFunction(MessageBoxFunction function) noexcept;
int ShowMessageBox(HWND owner, const char* text, const char* caption, UINT type) noexcept;

// The program's one error report: a modal box captioned "Error" with the error symbol and
// an OK button, owned by the error owner (the main window once it exists). Called on any
// other thread than the main one, the box is handed to the main thread and shown there.
void ReportError(const std::string& text) noexcept;
// The window that owns error boxes; null (or a window since destroyed) for none.
void SetErrorOwner(HWND owner) noexcept;

// While one lives on the main thread, ReportError keeps its boxes back: the thread is
// inside a call that holds up the whole session's input (a watched key, delivered inside
// the keyboard hook), where a box's modal loop would keep every program waiting until the
// box is closed. When the last one ends, the kept boxes are posted to the given window
// and shown, in order, when it gets that message.
class HeldErrorBoxes {
public:
    explicit HeldErrorBoxes(HWND window) noexcept;
    ~HeldErrorBoxes();
    HeldErrorBoxes(const HeldErrorBoxes&) = delete;
    HeldErrorBoxes& operator=(const HeldErrorBoxes&) = delete;

private:
    HWND window_;
    bool holding_;
};
// The message that shows the kept boxes; every window of the framework answers it.
[[nodiscard]] UINT HeldErrorsMessage() noexcept;
void ShowHeldErrors() noexcept;

} // namespace fw

} // namespace zevaver

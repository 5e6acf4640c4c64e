// While it lives, the program's message boxes are recorded instead of shown, so a test
// never waits on a box nobody closes.
#pragma once

#include "framework/win/Application.h"

#include <string>
#include <vector>

namespace zevaver {

namespace fakes {

class MessageBoxRecorder {
public:
    MessageBoxRecorder() {
        Shown().clear();
        previous_ = fw::SetMessageBoxFunction(&Record);
    }
    ~MessageBoxRecorder() { fw::SetMessageBoxFunction(previous_); }
    MessageBoxRecorder(const MessageBoxRecorder&) = delete;
    MessageBoxRecorder& operator=(const MessageBoxRecorder&) = delete;

    // Each box as "Caption: text", with " (error icon)" when it would show that icon.
    static std::vector<std::string>& Shown() {
        static std::vector<std::string> shown;
        return shown;
    }

private:
    static int Record(HWND, const char* text, const char* caption, UINT type) noexcept {
        Shown().push_back(std::string(caption) + ": " + text +
                          ((type & MB_ICONERROR) ? " (error icon)" : ""));
        return IDOK;
    }

    fw::MessageBoxFunction previous_ = nullptr;
};

} // namespace fakes

} // namespace zevaver

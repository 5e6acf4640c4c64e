// Shared pieces of the watch tests: the built files, direct calls into a hook library, one
// fixture that records message boxes and leaves the shared registration clean, bounded
// message pumping, test windows and injected keystrokes.
#pragma once

#include <windows.h>

#include "framework/win/Application.h"
#include "framework/win/Handles.h"
#include "services/win/Watch.h"

#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <string>
#include <thread>
#include <vector>

namespace zevaver {

namespace watchtest {

using Events = std::vector<std::string>;

// The folder of the test program, with a trailing separator.
inline std::string TestFolder() {
    char buffer[MAX_PATH * 4];
    const std::string path(buffer, GetModuleFileNameA(nullptr, buffer, sizeof(buffer)));
    return path.substr(0, path.find_last_of("\\/") + 1);
}
inline std::string RealLibraryPath() {
    return TestFolder() + "vivuvav.dll";
}
inline std::string ScriptedLibraryPath() {
    return TestFolder() + "scripted\\vivuvav.dll";
}

// A library's exports, called directly as another user of the library would.
class HookLibrary {
public:
    explicit HookLibrary(const std::string& path) : module_(LoadLibraryA(path.c_str())) {}
    [[nodiscard]] bool Loaded() const noexcept { return module_.valid(); }
    template <typename Function> [[nodiscard]] Function Entry(const char* name) const {
        return reinterpret_cast<Function>(
            reinterpret_cast<void (*)()>(GetProcAddress(module_.get(), name)));
    }
    void StartWatching(int kind) const { Entry<void(WINAPI*)(int)>("StartWatching")(kind); }
    void StopWatching(int kind) const { Entry<void(WINAPI*)(int)>("StopWatching")(kind); }
    [[nodiscard]] bool StillWatching() const {
        return Entry<BOOL(WINAPI*)()>("StillWatching")() != FALSE;
    }
    void StopAll() const { Entry<void(WINAPI*)()>("StopAll")(); }
    [[nodiscard]] bool SetReceiver(HWND window) const {
        return Entry<BOOL(WINAPI*)(HWND)>("SetReceiver")(window) != FALSE;
    }
    [[nodiscard]] HWND GetReceiver() const { return Entry<HWND(WINAPI*)()>("GetReceiver")(); }

private:
    fw::Library module_;
};

// Texts of the message boxes shown during a test, marked unless shown as an error.
inline Events shownBoxes;

inline int RecordBox(HWND, const char* text, const char* caption, UINT type) noexcept {
    try {
        const bool error = std::string(caption) == "Error" && type == (MB_OK | MB_ICONERROR);
        shownBoxes.push_back((error ? "" : "(not an error box) ") + std::string(text));
    } catch (...) {
    }
    return IDOK;
}

inline void ForgetBoxesAndTermination() {
    shownBoxes.clear();
    fw::ClearTerminationRequest();
}

// Dispatches messages until done() holds; false if it still does not after the given
// rounds of at most 10 ms (by default far beyond any delivery that works at all).
inline bool PumpUntil(const std::function<bool()>& done, int rounds = 1000) {
    for (int round = 0; round < rounds; ++round) {
        fw::ProcessMessages();
        if (done()) return true;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
    fw::ProcessMessages();
    return done();
}

// A plain top-level window of this process.
inline fw::Window MakeTopLevelWindow(const std::string& title, bool visible = false) {
    static const ATOM atom = [] {
        WNDCLASSA windowClass{};
        windowClass.lpfnWndProc = &DefWindowProcA;
        windowClass.hInstance = GetModuleHandleA(nullptr);
        windowClass.lpszClassName = "MKWatchTestWindow";
        return RegisterClassA(&windowClass);
    }();
    (void)atom;
    return fw::Window(CreateWindowExA(0, "MKWatchTestWindow", title.c_str(),
                                      WS_OVERLAPPEDWINDOW | (visible ? WS_VISIBLE : 0), 10, 10, 200,
                                      100, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr));
}

// One keystroke through SendInput; without a key code it is named by its scan code alone.
// It is injected from a thread of its own while this one goes on dispatching: the keyboard
// hook may run on this thread, and real input never comes from the thread that watches it
// (Wine does not call a thread's own low-level hook for what that thread injects).
inline void SendKey(WORD key, WORD scan, DWORD flags) {
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = key;
    input.ki.wScan = scan;
    input.ki.dwFlags = flags | (key == 0 ? KEYEVENTF_SCANCODE : 0);
    std::atomic<bool> sent{false};
    std::thread sender([&] {
        SendInput(1, &input, sizeof(input));
        sent = true;
    });
    (void)PumpUntil([&] { return sent.load(); });
    sender.join();
}

// Each test starts and ends with nothing watched and nobody registered, and message boxes
// are recorded instead of shown.
class WatchTest : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(real_.Loaded());
        Clean();
        ForgetBoxesAndTermination();
        fw::SetMessageBoxFunction(&RecordBox);
    }
    void TearDown() override {
        Clean();
        fw::SetMessageBoxFunction(nullptr);
        fw::ClearTerminationRequest();
    }
    void Clean() const {
        real_.StopAll();
        (void)real_.SetReceiver(nullptr);
    }

    HookLibrary real_{RealLibraryPath()};
    TWatch watch_;
};

} // namespace watchtest

} // namespace zevaver

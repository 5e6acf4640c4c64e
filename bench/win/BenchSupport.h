// What the benchmarks under Wine share: the clock, starting and ending a measured program
// beside the test MIDI library, waiting for the notes it sends, and the statistics.
#pragma once

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

namespace zevaver {

namespace bench {

inline long long Now() {
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return now.QuadPart;
}

inline long long Frequency() {
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return frequency.QuadPart;
}

inline double Microseconds(long long ticks) {
    return static_cast<double>(ticks) * 1e6 / static_cast<double>(Frequency());
}

inline void Key(WORD key, bool up) {
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = key;
    input.ki.wScan = static_cast<WORD>(MapVirtualKeyA(key, 0));
    input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
    SendInput(1, &input, sizeof input);
}

// Empties this thread's queue, so the window that holds the focus stays responsive.
inline void PumpMessages() {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&message);
}

inline double Percentile(std::vector<double> values, double p) {
    if (values.empty()) return 0;
    std::sort(values.begin(), values.end());
    const auto index = static_cast<size_t>(p * static_cast<double>(values.size() - 1) + 0.5);
    return values[index];
}

inline double Median(std::vector<double> values) {
    return Percentile(std::move(values), 0.5);
}

struct Target {
    const char* name;
    const char* exe;
    const char* windowClass;
    const char* arguments = "";
};

inline const Target Program{"program", "MIDIKeyboard.exe", "TKeysForm"};
// Started in the notification area, the program draws nothing when a note plays.
inline const Target ProgramInTray{"tray", "MIDIKeyboard.exe", "TKeysForm", " /M"};
inline const Target MinimalPlayer{"minimal", "minimal_player.exe", "MinimalPlayer"};
inline const Target MinimalHop{"hop", "minimal_player.exe", "MinimalPlayer", " /hop"};
inline const Target MinimalShown{"minimal", "minimal_player.exe", "MinimalPlayer", " /show"};
inline const Target MinimalWindow{"window", "minimal_window.exe", "MinimalWindow"};

// The named event the test MIDI library sets after every short message it logs.
inline constexpr char NoteSignalName[] = "mk-bench-note";

// The short messages a measured program sends, read from the MIDI library's log as they
// arrive. Waiting blocks on the library's event: the waiting side takes no processor
// time away from the program being measured.
class NoteLog {
public:
    NoteLog(std::string path, HANDLE signal) : path_(std::move(path)), signal_(signal) {}

    // The time of the next short message, or 0 after the time-out.
    long long Next(DWORD timeoutMs) {
        const long long deadline = Now() + static_cast<long long>(timeoutMs) * Frequency() / 1000;
        for (;;) {
            if (const long long time = ReadNext()) return time;
            const long long left = deadline - Now();
            if (left <= 0) return 0;
            WaitForSingleObject(signal_, static_cast<DWORD>(left * 1000 / Frequency()) + 1);
        }
    }

    void SkipToEnd() {
        std::ifstream in(path_, std::ios::binary | std::ios::ate);
        offset_ = in ? static_cast<long long>(in.tellg()) : 0;
    }

private:
    long long ReadNext() {
        std::ifstream in(path_, std::ios::binary);
        in.seekg(offset_);
        std::string line;
        while (std::getline(in, line)) {
            if (in.eof()) break; // a line still being written
            offset_ += static_cast<long long>(line.size()) + 1;
            if (line.find("midiOutShortMsg") != std::string::npos) return std::atoll(line.c_str());
        }
        return 0;
    }

    std::string path_;
    HANDLE signal_;
    long long offset_ = 0;
};

// One measured program, started from the stage folder with factory settings and the test
// MIDI library logging to its own file; closed (and waited for) on the way out.
class Running {
public:
    Running(const std::string& stage, const Target& target) : target_(target) {
        // Factory settings: a stored shortcut or pedal key must not change what Z does.
        RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\Zevaver\\MIDI Keyboard");
        log_ = stage + "\\bench-" + target.name + ".log";
        DeleteFileA(log_.c_str());
        SetEnvironmentVariableA("FAKEMIDI_LOG", log_.c_str());
        SetEnvironmentVariableA("FAKEMIDI_SIGNAL", NoteSignalName);
        const std::string exe = stage + "\\" + target.exe;
        std::string commandLine = "\"" + exe + "\"" + target.arguments;
        STARTUPINFOA startup{};
        startup.cb = sizeof startup;
        started_ = Now();
        if (!CreateProcessA(exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                            stage.c_str(), &startup, &process_)) {
            std::printf("cannot start %s\n", exe.c_str());
            process_ = {};
        }
    }
    ~Running() {
        if (!process_.hProcess) return;
        if (const HWND window = Window()) PostMessageA(window, WM_CLOSE, 0, 0);
        if (WaitForSingleObject(process_.hProcess, 10000) != WAIT_OBJECT_0)
            TerminateProcess(process_.hProcess, 1);
        CloseHandle(process_.hProcess);
        CloseHandle(process_.hThread);
    }
    Running(const Running&) = delete;
    Running& operator=(const Running&) = delete;

    [[nodiscard]] bool Started() const { return process_.hProcess != nullptr; }
    [[nodiscard]] HANDLE Process() const { return process_.hProcess; }
    [[nodiscard]] DWORD ProcessId() const { return process_.dwProcessId; }
    [[nodiscard]] long long StartTime() const { return started_; }
    [[nodiscard]] const std::string& LogPath() const { return log_; }
    [[nodiscard]] HWND Window() const { return FindWindowA(target_.windowClass, nullptr); }

    // Waits (in steps, at start-up only) until the window exists, then lets start-up settle.
    bool AwaitWindow(DWORD settleMs) const {
        for (int i = 0; i < 400 && Started(); ++i) {
            if (Window()) {
                Sleep(settleMs);
                return true;
            }
            Sleep(25);
        }
        return false;
    }

private:
    Target target_;
    std::string log_;
    PROCESS_INFORMATION process_{};
    long long started_ = 0;
};

// Another application has the focus, as when a musician plays into a sequencer.
class ForeignWindow {
public:
    ForeignWindow() {
        window_ = CreateWindowExA(0, "STATIC", "foreign", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0,
                                  200, 100, nullptr, nullptr, nullptr, nullptr);
        SetForegroundWindow(window_);
        PumpMessages();
        Sleep(200);
    }
    ~ForeignWindow() { DestroyWindow(window_); }
    ForeignWindow(const ForeignWindow&) = delete;
    ForeignWindow& operator=(const ForeignWindow&) = delete;

private:
    HWND window_ = nullptr;
};

} // namespace bench

} // namespace zevaver

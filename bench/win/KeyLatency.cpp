// Time from SendInput to the note-on that reaches the MIDI library (the test stand-in
// records each call with its QueryPerformanceCounter time), for the real program and
// for the minimal hook-and-send program, side by side in one run.
//
// Usage: key_latency <stage folder> [keystrokes]
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

namespace {

struct Target {
    const char* name;
    const char* exe;
    const char* windowClass;
};

long long Now() {
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return now.QuadPart;
}

double Microseconds(long long ticks) {
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return static_cast<double>(ticks) * 1e6 / static_cast<double>(frequency.QuadPart);
}

void Key(WORD key, bool up) {
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = key;
    input.ki.wScan = static_cast<WORD>(MapVirtualKeyA(key, 0));
    input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
    SendInput(1, &input, sizeof input);
}

// Reads the log lines added since the last call.
class LogTail {
public:
    explicit LogTail(std::string path) : path_(std::move(path)) {}
    // Waits for the next short message and returns its time, or 0 after a time-out.
    long long NextShortMessage(int timeoutMs) {
        long long deadline = Now() + static_cast<long long>(timeoutMs) * Frequency() / 1000;
        while (Now() < deadline) {
            std::ifstream in(path_, std::ios::binary);
            in.seekg(offset_);
            std::string line;
            while (std::getline(in, line)) {
                if (in.eof()) break; // a line still being written
                offset_ += static_cast<long long>(line.size()) + 1;
                if (line.find("midiOutShortMsg") != std::string::npos)
                    return std::atoll(line.c_str());
            }
            Sleep(0);
        }
        return 0;
    }
    void SkipToEnd() {
        std::ifstream in(path_, std::ios::binary | std::ios::ate);
        offset_ = in ? static_cast<long long>(in.tellg()) : 0;
    }

private:
    static long long Frequency() {
        LARGE_INTEGER frequency;
        QueryPerformanceFrequency(&frequency);
        return frequency.QuadPart;
    }
    std::string path_;
    long long offset_ = 0;
};

std::vector<double> Measure(const std::string& stage, const Target& target, int keystrokes) {
    // Factory settings: a stored shortcut or pedal key must not change what Z does.
    RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\Zevaver\\MIDI Keyboard");
    std::string log = stage + "\\latency-" + target.name + ".log";
    DeleteFileA(log.c_str());
    SetEnvironmentVariableA("FAKEMIDI_LOG", log.c_str());
    std::string exe = stage + "\\" + target.exe;
    std::string commandLine = "\"" + exe + "\"";
    STARTUPINFOA startup{sizeof startup};
    PROCESS_INFORMATION process{};
    if (!CreateProcessA(exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        stage.c_str(), &startup, &process)) {
        std::printf("cannot start %s\n", exe.c_str());
        return {};
    }
    HWND window = nullptr;
    for (int i = 0; i < 200 && !window; ++i) {
        Sleep(50);
        window = FindWindowA(target.windowClass, nullptr);
    }
    Sleep(1500); // start-up settles, the hook is in place

    // Another application has the focus, as when a musician plays into a sequencer.
    HWND foreign = CreateWindowExA(0, "STATIC", "foreign", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0,
                                   200, 100, nullptr, nullptr, nullptr, nullptr);
    SetForegroundWindow(foreign);
    Sleep(300);

    LogTail tail(log);
    tail.SkipToEnd();
    std::vector<double> latencies;
    for (int i = 0; i < keystrokes; ++i) {
        long long sent = Now();
        Key('Z', false);
        long long played = tail.NextShortMessage(2000);
        if (played) latencies.push_back(Microseconds(played - sent));
        Key('Z', true);
        tail.NextShortMessage(2000);
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&message);
        Sleep(2);
    }
    DestroyWindow(foreign);
    if (window) PostMessageA(window, WM_CLOSE, 0, 0);
    WaitForSingleObject(process.hProcess, 10000);
    CloseHandle(process.hProcess);
    CloseHandle(process.hThread);
    return latencies;
}

double Percentile(std::vector<double> values, double p) {
    if (values.empty()) return 0;
    std::sort(values.begin(), values.end());
    size_t index = static_cast<size_t>(p * static_cast<double>(values.size() - 1) + 0.5);
    return values[index];
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::printf("usage: key_latency <stage folder> [keystrokes]\n");
        return 2;
    }
    std::string stage = argv[1];
    int keystrokes = argc > 2 ? std::atoi(argv[2]) : 1000;
    const Target targets[] = {{"program", "MIDIKeyboard.exe", "TKeysForm"},
                              {"minimal", "minimal_player.exe", "MinimalPlayer"}};
    double p50[2] = {}, p99[2] = {};
    for (int t = 0; t < 2; ++t) {
        std::vector<double> latencies = Measure(stage, targets[t], keystrokes);
        p50[t] = Percentile(latencies, 0.50);
        p99[t] = Percentile(latencies, 0.99);
        std::printf("%-8s %zu/%d notes  p50 %8.1f us  p99 %8.1f us\n", targets[t].name,
                    latencies.size(), keystrokes, p50[t], p99[t]);
    }
    if (p50[1] > 0 && p99[1] > 0)
        std::printf("ratio program/minimal  p50 %.2fx  p99 %.2fx\n", p50[0] / p50[1],
                    p99[0] / p99[1]);
    return 0;
}

// The program's footprint under Wine beside the least programs that do the same job:
//   start-up: from CreateProcess until the main window is painted and the program waits
//             for input (its first paint happens inside start-up), against a minimal
//             window program, alternating, the median of several starts;
//   memory:   private memory after start and after many notes (it must not grow), and
//             the processor time per note, beside the minimal hook-and-send program;
//   idle:     processor time over a quiet period, the program beside the minimal window.
//
// Usage: footprint <stage folder> [starts] [notes] [idle seconds]
#include "BenchSupport.h"

#include <psapi.h>

namespace zevaver {

namespace {

using namespace bench;

// Wine leaves PrivateUsage empty and reports the resident anonymous memory as the page
// file usage, which on Windows is the private memory too.
double PrivateKiB(HANDLE process) {
    PROCESS_MEMORY_COUNTERS_EX counters{};
    counters.cb = sizeof counters;
    if (!GetProcessMemoryInfo(process, reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters),
                              sizeof counters))
        return 0;
    const SIZE_T bytes = counters.PrivateUsage ? counters.PrivateUsage : counters.PagefileUsage;
    return static_cast<double>(bytes) / 1024.0;
}

double CpuMilliseconds(HANDLE process) {
    FILETIME created, exited, kernel, user;
    if (!GetProcessTimes(process, &created, &exited, &kernel, &user)) return 0;
    const auto ticks = [](FILETIME time) {
        return (static_cast<unsigned long long>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
    };
    return static_cast<double>(ticks(kernel) + ticks(user)) / 10000.0;
}

double StartUpMs(const std::string& stage, const Target& target) {
    Running running(stage, target);
    if (!running.Started()) return 0;
    // Returns once the main thread first waits for input with nothing queued: after the
    // window was shown and painted.
    if (WaitForInputIdle(running.Process(), 20000) != 0) return 0;
    const long long ready = Now();
    const HWND window = running.Window();
    if (!window || !IsWindowVisible(window)) return 0;
    return Microseconds(ready - running.StartTime()) / 1000.0;
}

void StartUp(const std::string& stage, int starts) {
    const Target targets[] = {Program, MinimalWindow};
    std::vector<double> times[2];
    for (int i = 0; i < starts; ++i) {
        for (int step = 0; step < 2; ++step) {
            const int t = (i % 2 == 0) ? step : 1 - step;
            times[t].push_back(StartUpMs(stage, targets[t]));
            Sleep(300);
        }
    }
    const double program = Median(times[0]);
    const double window = Median(times[1]);
    std::printf("start-up to painted and idle (median of %d)  program %.1f ms  minimal window "
                "%.1f ms  ratio %.2fx\n",
                starts, program, window, window > 0 ? program / window : 0.0);
}

void Memory(const std::string& stage, HANDLE signal, int notes, const Target& target) {
    Running running(stage, target);
    if (!running.AwaitWindow(1500)) return;
    const double atStart = PrivateKiB(running.Process());
    const double cpuAtStart = CpuMilliseconds(running.Process());
    ForeignWindow foreign;
    NoteLog log(running.LogPath(), signal);
    log.SkipToEnd();
    int played = 0;
    for (int i = 0; i < notes; ++i) {
        Key('Z', false);
        if (log.Next(2000)) ++played;
        Key('Z', true);
        log.Next(2000);
        PumpMessages();
    }
    Sleep(500);
    const double afterNotes = PrivateKiB(running.Process());
    const double cpu = CpuMilliseconds(running.Process()) - cpuAtStart;
    std::printf("%-8s private memory  after start %.0f KiB  after %d/%d notes %.0f KiB  (%+.0f "
                "KiB); processor time %.1f us per note (down and up)\n",
                target.name, atStart, played, notes, afterNotes, afterNotes - atStart,
                played > 0 ? cpu * 1000.0 / played : 0.0);
}

void Idle(const std::string& stage, int seconds) {
    Running program(stage, Program);
    Running window(stage, MinimalWindow);
    if (!program.AwaitWindow(2000) || !window.AwaitWindow(0)) return;
    const double programBefore = CpuMilliseconds(program.Process());
    const double windowBefore = CpuMilliseconds(window.Process());
    Sleep(static_cast<DWORD>(seconds) * 1000);
    const double programUsed = CpuMilliseconds(program.Process()) - programBefore;
    const double windowUsed = CpuMilliseconds(window.Process()) - windowBefore;
    std::printf("idle processor time over %d s  program %.1f ms  minimal window %.1f ms\n", seconds,
                programUsed, windowUsed);
}

} // namespace

} // namespace zevaver

int main(int argc, char** argv) {
    using namespace zevaver;
    if (argc < 2) {
        std::printf("usage: footprint <stage folder> [starts] [notes] [idle seconds]\n");
        return 2;
    }
    const std::string stage = argv[1];
    const int starts = argc > 2 ? std::atoi(argv[2]) : 5;
    const int notes = argc > 3 ? std::atoi(argv[3]) : 10000;
    const int seconds = argc > 4 ? std::atoi(argv[4]) : 60;
    const HANDLE signal = CreateEventA(nullptr, FALSE, FALSE, NoteSignalName);
    if (starts > 0) StartUp(stage, starts);
    std::fflush(stdout);
    if (notes > 0) {
        Memory(stage, signal, notes, Program);
        std::fflush(stdout);
        Memory(stage, signal, notes, ProgramInTray);
        std::fflush(stdout);
        Memory(stage, signal, notes, MinimalPlayer);
    }
    std::fflush(stdout);
    if (seconds > 0) Idle(stage, seconds);
    return 0;
}

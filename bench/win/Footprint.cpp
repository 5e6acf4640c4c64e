// The program's footprint under Wine beside the least programs that do the same job:
//   start-up: from CreateProcess until the main window is painted and the program waits
//             for input (its first paint happens inside start-up), against the least
//             program that also opens the port, hooks the keyboard and shows a window, and
//             a bare window, alternating, the median of several starts;
//   memory:   private memory after start and after many notes (it must not grow), and
//             the processor time per note, beside the other builds given and the minimal
//             hook-and-send program;
//   idle:     processor time over a quiet period, the program beside the minimal window.
//
// Usage: footprint <stage folder> [starts] [notes] [idle seconds] [[name=]other exe...]
// Other program executables (relative to the stage folder, e.g. an earlier build staged in a
// subfolder: "before=before\MIDIKeyboard.exe") are started in the same rounds.
#include "BenchSupport.h"

#include <psapi.h>

#include <cstring>

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

// Until the main window is on the screen, painted, and the program waits for input. The
// window is looked for every millisecond (a program with more than one thread may count
// as waiting for input before its window shows); it is painted as it is shown.
double StartUpMs(const std::string& stage, const Target& target) {
    Running running(stage, target);
    if (!running.Started()) return 0;
    for (int i = 0; i < 20000; ++i) {
        const HWND window = running.Window();
        if (window && IsWindowVisible(window)) {
            if (WaitForInputIdle(running.Process(), 20000) != 0) return 0;
            return Microseconds(Now() - running.StartTime()) / 1000.0;
        }
        if (WaitForSingleObject(running.Process(), 1) != WAIT_TIMEOUT) return 0;
    }
    return 0;
}

void StartUp(const std::string& stage, int starts, const std::vector<Target>& others) {
    // The least program that also opens the port, hooks and shows a window comes first:
    // every ratio is taken against it.
    std::vector<Target> targets = {MinimalShown, Program};
    targets.insert(targets.end(), others.begin(), others.end());
    targets.push_back(MinimalWindow);
    const size_t count = targets.size();
    std::vector<std::vector<double>> times(count);
    // One start of each first, not counted: the first starts after the wineserver's are
    // slower whichever program they are.
    for (const Target& target : targets) (void)StartUpMs(stage, target);
    for (int i = 0; i < starts; ++i) {
        // The order turns every round.
        for (size_t step = 0; step < count; ++step) {
            const size_t t = (static_cast<size_t>(i) + step) % count;
            times[t].push_back(StartUpMs(stage, targets[t]));
            Sleep(300);
        }
    }
    const double minimal = Median(times[0]);
    std::printf("start-up to painted and idle, median of %d starts:\n", starts);
    for (size_t t = 0; t < count; ++t)
        std::printf("  %-8s %6.1f ms  %.2fx\n", targets[t].name, Median(times[t]),
                    minimal > 0 ? Median(times[t]) / minimal : 0.0);
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
        std::printf("usage: footprint <stage folder> [starts] [notes] [idle seconds] "
                    "[[name=]exe...]\n");
        return 2;
    }
    const std::string stage = argv[1];
    const int starts = argc > 2 ? std::atoi(argv[2]) : 5;
    const int notes = argc > 3 ? std::atoi(argv[3]) : 10000;
    const int seconds = argc > 4 ? std::atoi(argv[4]) : 60;
    const HANDLE signal = CreateEventA(nullptr, FALSE, FALSE, NoteSignalName);
    std::vector<Target> others;
    for (int i = 5; i < argc; ++i) {
        char* separator = std::strchr(argv[i], '=');
        if (separator) *separator = '\0';
        others.push_back({argv[i], separator ? separator + 1 : argv[i], Program.windowClass});
    }
    if (starts > 0) StartUp(stage, starts, others);
    std::fflush(stdout);
    if (notes > 0) {
        Memory(stage, signal, notes, Program);
        std::fflush(stdout);
        Memory(stage, signal, notes, ProgramInTray);
        std::fflush(stdout);
        for (const Target& other : others) {
            Memory(stage, signal, notes, other);
            std::fflush(stdout);
        }
        std::fflush(stdout);
        Memory(stage, signal, notes, MinimalPlayer);
    }
    std::fflush(stdout);
    if (seconds > 0) Idle(stage, seconds);
    return 0;
}

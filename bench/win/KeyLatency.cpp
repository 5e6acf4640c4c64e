// Time from SendInput to the note-on that reaches the MIDI library (the test stand-in
// records each call with its QueryPerformanceCounter time), for the real program and for
// the minimal hook-and-send program, and for that minimal program built like the real one
// (its hook on a thread of its own, posting to a window: "hop"). They alternate in rounds,
// so a change of load hits all alike; each round's ratios are taken on their own and the
// median ratio reported.
//
// With "busy", every program's window is resized and repainted without pause meanwhile (as
// during a border drag), to show whether the keys wait for the window.
//
// Usage: key_latency <stage folder> [notes per round] [rounds] [busy] [[name=]other exe...]
//        key_latency <stage folder> trace [notes]
// Other program executables (paths relative to the stage folder, e.g. an earlier build
// staged with its own library in a subfolder: "before=before\MIDIKeyboard.exe") are
// measured in the same rounds, named as given or after their path.
// The trace form plays each program once between two markers that show in a wineserver
// trace (WINEDEBUG=+server), and names the programs' threads, so the requests per
// keystroke of each thread can be counted (tools/bench-requests).
#include "BenchSupport.h"

#include <tlhelp32.h>

#include <atomic>
#include <cstring>
#include <thread>

namespace zevaver {

namespace {

using namespace bench;

constexpr int WarmUpNotes = 20;
constexpr int WarmUpRoundNotes = 200;
// Busy: the minimal program's own median moved by more than this between rounds.
constexpr double BusySpread = 0.30;

// Plays Z `notes` times from a foreign window; the note-on latencies in microseconds.
std::vector<double> Play(NoteLog& log, int notes) {
    std::vector<double> latencies;
    latencies.reserve(static_cast<size_t>(notes));
    for (int i = 0; i < notes; ++i) {
        const long long sent = Now();
        Key('Z', false);
        const long long played = log.Next(2000);
        if (played) latencies.push_back(Microseconds(played - sent));
        Key('Z', true);
        log.Next(2000);
        PumpMessages();
        Sleep(2);
    }
    return latencies;
}

struct RoundResult {
    double p50 = 0;
    double p99 = 0;
    size_t notes = 0;
};

// Resizes and repaints a program's window from another thread until it goes, without
// taking the focus from the foreign window.
class BusyWindow {
public:
    explicit BusyWindow(HWND window) {
        if (!window) return;
        thread_ = std::thread([this, window] {
            for (int step = 0; !stop_; ++step) {
                const int width = step % 2 == 0 ? 1400 : 700;
                SetWindowPos(window, nullptr, 0, 0, width, 200,
                             SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
                RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
            }
        });
    }
    ~BusyWindow() {
        stop_ = true;
        if (thread_.joinable()) thread_.join();
    }
    BusyWindow(const BusyWindow&) = delete;
    BusyWindow& operator=(const BusyWindow&) = delete;

private:
    std::atomic<bool> stop_{false};
    std::thread thread_;
};

RoundResult MeasureRound(const std::string& stage, const Target& target, HANDLE signal, int notes,
                         bool busy = false) {
    Running running(stage, target);
    if (!running.AwaitWindow(1500)) return {};
    ForeignWindow foreign;
    NoteLog log(running.LogPath(), signal);
    log.SkipToEnd();
    (void)Play(log, WarmUpNotes);
    BusyWindow drag(busy ? running.Window() : nullptr);
    const std::vector<double> latencies = Play(log, notes);
    return {Percentile(latencies, 0.50), Percentile(latencies, 0.99), latencies.size()};
}

int Latency(const std::string& stage, HANDLE signal, int notes, int rounds, bool busy,
            const std::vector<Target>& others) {
    // The minimal program comes first: every ratio is taken against it.
    std::vector<Target> targets = {MinimalPlayer, Program};
    targets.insert(targets.end(), others.begin(), others.end());
    targets.push_back(MinimalHop);
    const size_t count = targets.size();
    std::vector<std::vector<double>> p50(count), p99(count), ratio50(count), ratio99(count);
    // The first programs started after the wineserver run slower for a while, whichever
    // they are: a short round of each, not counted, goes first.
    for (const Target& target : targets)
        (void)MeasureRound(stage, target, signal, WarmUpRoundNotes);
    for (int round = 0; round < rounds; ++round) {
        std::vector<RoundResult> result(count);
        // The order turns every round: no program always runs on the warmer machine.
        for (size_t step = 0; step < count; ++step) {
            const size_t t = (static_cast<size_t>(round) + step) % count;
            result[t] = MeasureRound(stage, targets[t], signal, notes, busy);
            std::printf("round %d  %-8s %4zu/%d notes  p50 %8.1f us  p99 %8.1f us\n", round + 1,
                        targets[t].name, result[t].notes, notes, result[t].p50, result[t].p99);
            std::fflush(stdout);
        }
        for (size_t t = 0; t < count; ++t) {
            p50[t].push_back(result[t].p50);
            p99[t].push_back(result[t].p99);
            if (result[0].p50 > 0 && result[0].p99 > 0) {
                ratio50[t].push_back(result[t].p50 / result[0].p50);
                ratio99[t].push_back(result[t].p99 / result[0].p99);
            }
        }
    }
    for (size_t t = 0; t < count; ++t)
        std::printf("median   %-8s p50 %8.1f us  p99 %8.1f us\n", targets[t].name, Median(p50[t]),
                    Median(p99[t]));
    for (size_t t = 1; t < count; ++t)
        std::printf("median ratio %s/minimal  p50 %.2fx  p99 %.2fx\n", targets[t].name,
                    Median(ratio50[t]), Median(ratio99[t]));
    const auto [low, high] = std::minmax_element(p50[0].begin(), p50[0].end());
    if (p50[0].empty() || *low <= 0 || (*high - *low) / *low > BusySpread) {
        std::printf("WARNING: the machine was busy: the minimal program's p50 ranged %.1f..%.1f "
                    "us between rounds; the figures are not to be trusted\n",
                    p50[0].empty() ? 0.0 : *low, p50[0].empty() ? 0.0 : *high);
    }
    return 0;
}

// A request the wineserver trace shows with its text, to mark where counting starts and
// ends.
void TraceMarker(const std::string& text) {
    const ATOM atom = GlobalAddAtomA(text.c_str());
    if (atom) GlobalDeleteAtom(atom);
}

std::string ThreadsOf(DWORD process) {
    std::string list;
    const HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
    if (snapshot == INVALID_HANDLE_VALUE) return list;
    THREADENTRY32 entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = Thread32First(snapshot, &entry); more; more = Thread32Next(snapshot, &entry)) {
        if (entry.th32OwnerProcessID != process) continue;
        char id[16];
        std::snprintf(id, sizeof id, "%s%04lx", list.empty() ? "" : ",",
                      static_cast<unsigned long>(entry.th32ThreadID));
        list += id;
    }
    CloseHandle(snapshot);
    return list;
}

int Trace(const std::string& stage, HANDLE signal, int notes) {
    for (const Target& target : {Program, MinimalPlayer, MinimalHop}) {
        Running running(stage, target);
        if (!running.AwaitWindow(1500)) return 1;
        ForeignWindow foreign;
        NoteLog log(running.LogPath(), signal);
        log.SkipToEnd();
        (void)Play(log, WarmUpNotes);
        TraceMarker(std::string("mk-trace-begin-") + target.name);
        (void)Play(log, notes);
        TraceMarker(std::string("mk-trace-end-") + target.name);
        DWORD guiThread = 0;
        if (const HWND window = running.Window())
            guiThread = GetWindowThreadProcessId(window, nullptr);
        std::printf("trace %s notes=%d bench=%04lx gui=%04lx threads=%s\n", target.name, notes,
                    GetCurrentThreadId(), static_cast<unsigned long>(guiThread),
                    ThreadsOf(running.ProcessId()).c_str());
        std::fflush(stdout);
    }
    return 0;
}

} // namespace

} // namespace zevaver

int main(int argc, char** argv) {
    using namespace zevaver;
    if (argc < 2) {
        std::printf("usage: key_latency <stage folder> [notes per round] [rounds] [busy] "
                    "[[name=]exe...]\n"
                    "       key_latency <stage folder> trace [notes]\n");
        return 2;
    }
    const std::string stage = argv[1];
    const HANDLE signal = CreateEventA(nullptr, FALSE, FALSE, NoteSignalName);
    if (argc > 2 && std::strcmp(argv[2], "trace") == 0)
        return Trace(stage, signal, argc > 3 ? std::atoi(argv[3]) : 200);
    const int notes = argc > 2 ? std::atoi(argv[2]) : 1000;
    const int rounds = argc > 3 ? std::atoi(argv[3]) : 3;
    const bool busy = argc > 4 && std::strcmp(argv[4], "busy") == 0;
    std::vector<Target> others;
    for (int i = busy ? 5 : 4; i < argc; ++i) {
        // The name goes into the log file's name: it is cut off at the '='.
        char* separator = std::strchr(argv[i], '=');
        if (separator) *separator = '\0';
        others.push_back({argv[i], separator ? separator + 1 : argv[i], Program.windowClass});
    }
    return Latency(stage, signal, notes, rounds, busy, others);
}

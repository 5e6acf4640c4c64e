// Key to recorded note on Linux: keys typed through XTest into a window of the bench's own,
// each timed from just before it is sent to the moment the recorder's JACK period holds its
// note (both on JACK's clock), for the real program and for the least program (LeastXiJack:
// raw event, JACK write in the callback), in alternating rounds on a JACK server of the
// bench's own (dummy back end, 48 kHz, 64 frames). Arguments: keystrokes per round, rounds.
#include "support/JackSession.h"
#include "support/ProgramRun.h"
#include "support/XSession.h"

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <random>
#include <string>
#include <vector>

namespace {

using namespace zevaver::linuxtest;

struct Stats {
    double p50 = 0, p99 = 0;
};

Stats StatsOf(std::vector<double> values) {
    if (values.empty()) return {};
    std::sort(values.begin(), values.end());
    const auto at = [&](double q) { return values[static_cast<size_t>(q * (values.size() - 1))]; };
    return {at(0.5), at(0.99)};
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values.empty() ? 0 : values[values.size() / 2];
}

// Milliseconds from each key press sent to its note recorded.
std::vector<double> Measure(XSession& x, JackRecorder& recorder, jack_client_t* clock,
                            int keystrokes, std::mt19937& random) {
    std::vector<double> latencies;
    const unsigned keys[] = {KeyQ, KeyW, KeyE, KeyZ, KeyX};
    for (int i = 0; i < keystrokes; ++i) {
        const unsigned key = keys[i % 5];
        recorder.Clear();
        const uint64_t sent = jack_get_time();
        x.Key(key, true);
        const std::vector<RecordedEvent> events = recorder.AwaitEvents(1, 1000);
        if (!events.empty() && events[0].micros >= sent)
            latencies.push_back(static_cast<double>(events[0].micros - sent) / 1000.0);
        x.Key(key, false);
        (void)recorder.AwaitEvents(2, 1000);
        // Off the period's beat, so the keys fall anywhere in it.
        XSession::Pause(3 + static_cast<int>(random() % 5));
    }
    (void)clock;
    return latencies;
}

double Load() {
    std::ifstream file("/proc/loadavg");
    double load = 0;
    file >> load;
    return load;
}

} // namespace

int main(int argc, char** argv) {
    const int keystrokes = argc > 1 ? std::atoi(argv[1]) : 300;
    const int rounds = argc > 2 ? std::atoi(argv[2]) : 5;
    const std::string least = argc > 3 ? argv[3] : "./least_xi_jack";
    JackServer server("mk-bench-" + std::to_string(getpid()));
    XSession x;
    if (!x.Open() || !server.Ready()) {
        std::fprintf(stderr, "needs a display and jackd\n");
        return 1;
    }
    JackRecorder recorder;
    std::mt19937 random(1);
    std::vector<double> programP50, programP99, leastP50, leastP99;
    std::fflush(stdout);
    const double loadBefore = Load();
    for (int round = 0; round < rounds; ++round) {
        for (int turn = 0; turn < 2; ++turn) {
            // Alternating which goes first, so a drift in the machine's load hits both.
            const bool program = (turn == 0) == (round % 2 == 0);
            TestHome home("bench");
            std::unique_ptr<ProgramRun> run;
            pid_t leastPid = -1;
            if (program) {
                run = std::make_unique<ProgramRun>(home);
            } else {
                leastPid = fork();
                if (leastPid == 0) {
                    execl(least.c_str(), least.c_str(), "recorder:in", static_cast<char*>(nullptr));
                    _exit(127);
                }
            }
            if (!recorder.AwaitConnection(10000)) {
                std::fprintf(stderr, "no connection to the recorder\n");
                return 1;
            }
            XSession::Pause(500);
            x.FocusOwnWindow();
            const Stats stats = StatsOf(Measure(x, recorder, nullptr, keystrokes, random));
            (program ? programP50 : leastP50).push_back(stats.p50);
            (program ? programP99 : leastP99).push_back(stats.p99);
            std::printf("round %d %-8s p50 %.3f ms  p99 %.3f ms\n", round + 1,
                        program ? "program" : "least", stats.p50, stats.p99);
            // Out before the next fork, whose child would print what is still buffered.
            std::fflush(stdout);
            if (run) (void)run->Close();
            if (leastPid > 0) {
                kill(leastPid, SIGTERM);
                waitpid(leastPid, nullptr, 0);
            }
            for (int waited = 0; waited < 3000 && recorder.Connected(); waited += 20)
                XSession::Pause(20);
        }
    }
    const double p50 = Median(programP50), p99 = Median(programP99);
    const double leastP50Median = Median(leastP50), leastP99Median = Median(leastP99);
    std::printf("median of rounds: program p50 %.3f ms p99 %.3f ms; least p50 %.3f ms p99 %.3f "
                "ms; ratio p50 %.2f, p99 %.2f\n",
                p50, p99, leastP50Median, leastP99Median, p50 / leastP50Median,
                p99 / leastP99Median);
    const double loadAfter = Load();
    std::printf("load %.2f before, %.2f after, on %ld cores%s\n", loadBefore, loadAfter,
                sysconf(_SC_NPROCESSORS_ONLN),
                std::max(loadBefore, loadAfter) > 0.5 * sysconf(_SC_NPROCESSORS_ONLN)
                    ? ": the machine was busy, the times are only a rough guide"
                    : "");
    return 0;
}

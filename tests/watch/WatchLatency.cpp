// How long a keystroke takes from SendInput to the OnKeyNative handler, through the real
// hook library: p50 and p99 over 1,000 key presses (their releases are waited for but
// not timed). Run by hand; prints one line.
#include "framework/win/Application.h"
#include "framework/win/Handles.h"
#include "services/win/Watch.h"

#include <algorithm>
#include <cstdio>
#include <vector>

namespace zevaver {

namespace {

constexpr int Keystrokes = 1000;
constexpr int WarmUp = 20;
constexpr WORD Key = VK_F24; // types nothing anywhere

void Send(bool up) {
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = Key;
    input.ki.wScan = static_cast<WORD>(MapVirtualKeyA(Key, MAPVK_VK_TO_VSC));
    input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
    SendInput(1, &input, sizeof(input));
}

// Keystrokes come from a thread of their own, as real input never comes from the thread
// that watches it; that thread times each press and waits for its arrival, while the
// main thread runs the watch's message loop.
struct Measurement {
    fw::KernelHandle arrived{CreateEventA(nullptr, FALSE, FALSE, nullptr)};
    LARGE_INTEGER arrivedAt{};
    std::vector<double> micros;
    int lost = 0;
};

DWORD WINAPI SendKeys(void* parameter) noexcept {
    auto& measurement = *static_cast<Measurement*>(parameter);
    LARGE_INTEGER frequency{};
    QueryPerformanceFrequency(&frequency);
    for (int i = 0; i < WarmUp + Keystrokes; ++i) {
        LARGE_INTEGER sentAt{};
        QueryPerformanceCounter(&sentAt);
        Send(false);
        const bool pressArrived =
            WaitForSingleObject(measurement.arrived.get(), 2000) == WAIT_OBJECT_0;
        if (i >= WarmUp) {
            if (pressArrived)
                measurement.micros.push_back(
                    static_cast<double>(measurement.arrivedAt.QuadPart - sentAt.QuadPart) * 1e6 /
                    static_cast<double>(frequency.QuadPart));
            else
                ++measurement.lost;
        }
        Send(true);
        if (WaitForSingleObject(measurement.arrived.get(), 2000) != WAIT_OBJECT_0 && i >= WarmUp)
            ++measurement.lost;
    }
    return 0;
}

} // namespace

} // namespace zevaver

int main() {
    using namespace zevaver;
    Measurement measurement;
    TWatch watch;
    watch.OnKeyNative = [&](TWatch&, int32_t wParam, int32_t) {
        if (wParam != Key) return;
        QueryPerformanceCounter(&measurement.arrivedAt);
        SetEvent(measurement.arrived.get());
    };
    watch.StartWatching(1);
    if (!watch.LibraryLoaded()) {
        std::printf("watch_latency: the hook library did not open\n");
        return 1;
    }

    HANDLE sender = CreateThread(nullptr, 0, &SendKeys, &measurement, 0, nullptr);
    while (MsgWaitForMultipleObjects(1, &sender, FALSE, INFINITE, QS_ALLINPUT) != WAIT_OBJECT_0)
        fw::ProcessMessages();
    CloseHandle(sender);
    watch.StopWatching(1);

    std::vector<double>& micros = measurement.micros;
    const int lost = measurement.lost;
    if (micros.empty()) {
        std::printf("watch_latency: no keystroke arrived\n");
        return 1;
    }
    std::sort(micros.begin(), micros.end());
    auto percentile = [&](double p) {
        const size_t index = static_cast<size_t>(p * static_cast<double>(micros.size() - 1));
        return micros[index];
    };
    std::printf("watch_latency: %zu keystrokes, p50 %.0f us, p99 %.0f us, max %.0f us, lost %d\n",
                micros.size(), percentile(0.50), percentile(0.99), micros.back(), lost);
    return lost == 0 ? 0 : 1;
}

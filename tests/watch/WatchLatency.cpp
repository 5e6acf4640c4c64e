// How long a keystroke takes from SendInput to the OnKeyNative handler, through the real
// hook library: p50 and p99 over 1,000 key presses (their releases are waited for but
// not timed). Run by hand; prints one line.
#include "framework/win/Application.h"
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

// Pumps until the flag is set; false if it stays clear for two seconds.
bool AwaitArrival(const bool& arrived) {
    const ULONGLONG deadline = GetTickCount64() + 2000;
    while (!arrived) {
        const ULONGLONG now = GetTickCount64();
        if (now >= deadline) return false;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(deadline - now),
                                  QS_ALLINPUT);
        fw::ProcessMessages();
    }
    return true;
}

} // namespace

} // namespace zevaver

int main() {
    using namespace zevaver;
    LARGE_INTEGER frequency{};
    QueryPerformanceFrequency(&frequency);
    LARGE_INTEGER arrivedAt{};
    bool arrived = false;

    TWatch watch;
    watch.OnKeyNative = [&](TWatch&, int32_t wParam, int32_t) {
        if (wParam != Key) return;
        QueryPerformanceCounter(&arrivedAt);
        arrived = true;
    };
    watch.StartWatching(1);
    if (!watch.LibraryLoaded()) {
        std::printf("watch_latency: the hook library did not open\n");
        return 1;
    }

    std::vector<double> micros;
    int lost = 0;
    for (int i = 0; i < WarmUp + Keystrokes; ++i) {
        LARGE_INTEGER sentAt{};
        arrived = false;
        QueryPerformanceCounter(&sentAt);
        Send(false);
        const bool pressArrived = AwaitArrival(arrived);
        if (i >= WarmUp) {
            if (pressArrived)
                micros.push_back(static_cast<double>(arrivedAt.QuadPart - sentAt.QuadPart) * 1e6 /
                                 static_cast<double>(frequency.QuadPart));
            else
                ++lost;
        }
        arrived = false;
        Send(true);
        if (!AwaitArrival(arrived) && i >= WarmUp) ++lost;
    }
    watch.StopWatching(1);

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

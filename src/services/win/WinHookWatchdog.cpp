#include "services/win/WinHookWatchdog.h"

#include <utility>

namespace zevaver {

namespace {

constexpr char ClassName[] = "MKHookWatchdog";
constexpr UINT_PTR CheckTimer = 1;
constexpr UINT_PTR UnseenInputTimer = 2;
constexpr UINT UnseenInputPeriodMs = 1000;
constexpr USHORT GenericDesktopPage = 0x01;
constexpr USHORT KeyboardUsage = 0x06;

} // namespace

WinHookWatchdog::WinHookWatchdog(const HookTally& hook, std::function<void()> hookMissed,
                                 std::function<uint32_t()> lastSeen) noexcept
    : watchdog_(hook), hookMissed_(std::move(hookMissed)), lastSeen_(std::move(lastSeen)),
      window_([this](UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
          return Handle(message, wParam, lParam, result);
      }) {}

WinHookWatchdog::~WinHookWatchdog() {
    if (!rawInput_) return;
    RAWINPUTDEVICE keyboard{GenericDesktopPage, KeyboardUsage, RIDEV_REMOVE, nullptr};
    (void)RegisterRawInputDevices(&keyboard, 1, sizeof keyboard);
}

bool WinHookWatchdog::Start() noexcept {
    if (!window_.Create(ClassName)) return false;
    // Keys reach the window as raw input whichever program has the focus.
    RAWINPUTDEVICE keyboard{GenericDesktopPage, KeyboardUsage, RIDEV_INPUTSINK, window_.Handle()};
    rawInput_ = RegisterRawInputDevices(&keyboard, 1, sizeof keyboard) != FALSE;
    if (!rawInput_) SetTimer(window_.Handle(), UnseenInputTimer, UnseenInputPeriodMs, nullptr);
    return true;
}

bool WinHookWatchdog::Handle(UINT message, WPARAM wParam, LPARAM lParam, LRESULT&) noexcept {
    if (message == WM_INPUT) {
        RawKey(reinterpret_cast<HRAWINPUT>(lParam));
        return false; // the default handling cleans up after raw input
    }
    if (message != WM_TIMER) return false;
    if (wParam == CheckTimer) Check();
    if (wParam == UnseenInputTimer) CheckUnseenInput();
    return true;
}

void WinHookWatchdog::RawKey(HRAWINPUT input) noexcept {
    RAWINPUT raw{};
    UINT size = sizeof raw;
    if (GetRawInputData(input, RID_INPUT, &raw, &size, sizeof(RAWINPUTHEADER)) == UINT(-1) ||
        raw.header.dwType != RIM_TYPEKEYBOARD)
        return;
    if (watchdog_.RawKey(raw.data.keyboard.VKey, GetTickCount())) ScheduleCheck();
}

// One timer at a time, for the key that has waited longest: nothing ticks while no key
// waits.
void WinHookWatchdog::ScheduleCheck() noexcept {
    if (checkDue_) return;
    const std::optional<uint32_t> in = watchdog_.NextCheckIn(GetTickCount());
    if (!in) return;
    checkDue_ = SetTimer(window_.Handle(), CheckTimer, *in == 0 ? 1 : *in, nullptr) != 0;
}

void WinHookWatchdog::Check() noexcept {
    KillTimer(window_.Handle(), CheckTimer);
    checkDue_ = false;
    const bool missed = watchdog_.Check(GetTickCount());
    ScheduleCheck();
    if (missed && hookMissed_) hookMissed_();
}

void WinHookWatchdog::CheckUnseenInput() noexcept {
    LASTINPUTINFO last{sizeof last, 0};
    if (!GetLastInputInfo(&last) || !lastSeen_ || last.dwTime == actedOn_) return;
    if (!HookWatchdog::InputUnseen(last.dwTime, lastSeen_())) return;
    actedOn_ = last.dwTime; // once for each input unseen, not every second after it
    if (hookMissed_) hookMissed_();
}

} // namespace zevaver

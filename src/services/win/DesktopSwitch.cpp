#include "services/win/DesktopSwitch.h"

namespace zevaver {

namespace {

DesktopSwitch* Current = nullptr;

} // namespace

DesktopSwitch::~DesktopSwitch() {
    Stop();
}

bool DesktopSwitch::Start(std::function<void()> onSwitch) noexcept {
    Stop();
    if (Current != nullptr) return false;
    try {
        onSwitch_ = std::move(onSwitch);
    } catch (...) {
        return false;
    }
    hook_.reset(SetWinEventHook(EVENT_SYSTEM_DESKTOPSWITCH, EVENT_SYSTEM_DESKTOPSWITCH, nullptr,
                                &DesktopSwitch::EventProc, 0, 0, WINEVENT_OUTOFCONTEXT));
    if (hook_.valid()) Current = this;
    return hook_.valid();
}

void DesktopSwitch::Stop() noexcept {
    hook_.reset();
    if (Current == this) Current = nullptr;
}

void CALLBACK DesktopSwitch::EventProc(HWINEVENTHOOK, DWORD event, HWND, LONG, LONG, DWORD,
                                       DWORD) noexcept {
    if (event != EVENT_SYSTEM_DESKTOPSWITCH || Current == nullptr || !Current->onSwitch_) return;
    try {
        Current->onSwitch_();
    } catch (...) {
        // Nothing to report: the next key event after the switch brings the keys in line.
    }
}

} // namespace zevaver

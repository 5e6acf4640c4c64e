#include "HookSet.h"

#include <vector>

namespace vivuvav {

HookSet* HookSet::current_ = nullptr;

namespace {

constexpr UINT SweepPeriodMs = 200;

// Windows the shell itself would announce: top-level, not message-only, not owned.
bool IsShellWindow(HWND window) noexcept {
    return GetAncestor(window, GA_PARENT) == GetDesktopWindow() &&
           GetWindow(window, GW_OWNER) == nullptr;
}

} // namespace

HookSet::HookSet(HMODULE module) noexcept
    : module_(module), messages_(hookprotocol::RegisterMessages()) {
    current_ = this;
}

HookSet::~HookSet() {
    sweep_.reset();
    keyboard_.Stop();
    mouse_.reset();
    windowLife_.reset();
    foreground_.reset();
    current_ = nullptr;
}

void HookSet::Switch(int kind, bool on) noexcept {
    switch (kind) {
    case watch::KindKeyboard:
        SwitchKeyboard(on);
        break;
    case watch::KindMouse:
        SwitchMouse(on);
        break;
    case watch::KindShell:
        SwitchShell(on);
        break;
    default:
        break;
    }
}

unsigned HookSet::Active() const noexcept {
    unsigned kinds = 0;
    if (keyboard_.Active()) kinds |= 1u << watch::KindKeyboard;
    if (mouse_) kinds |= 1u << watch::KindMouse;
    if (windowLife_ || foreground_ || sweep_) kinds |= 1u << watch::KindShell;
    return kinds;
}

void HookSet::SwitchKeyboard(bool on) noexcept {
    if (on)
        keyboard_.Start();
    else
        keyboard_.Stop();
}

void HookSet::SwitchMouse(bool on) noexcept {
    if (!on)
        mouse_.reset();
    else if (!mouse_)
        mouse_.reset(SetWindowsHookExA(WH_MOUSE_LL, &MouseProc, module_, 0));
}

void HookSet::SwitchShell(bool on) noexcept {
    if (!on) {
        sweep_.reset();
        windowLife_.reset();
        foreground_.reset();
        topLevel_.clear();
        lastForeground_ = nullptr;
        return;
    }
    if (windowLife_ || foreground_ || sweep_) return;
    // Windows that exist already are not news.
    std::vector<HWND> existing;
    EnumWindows(&CollectTopLevel, reinterpret_cast<LPARAM>(&existing));
    try {
        topLevel_.insert(existing.begin(), existing.end());
    } catch (...) {
        topLevel_.clear();
    }
    lastForeground_ = GetForegroundWindow();
    windowLife_.reset(SetWinEventHook(EVENT_OBJECT_CREATE, EVENT_OBJECT_DESTROY, nullptr,
                                      &WindowEventProc, 0, 0, WINEVENT_OUTOFCONTEXT));
    foreground_.reset(SetWinEventHook(EVENT_SYSTEM_FOREGROUND, EVENT_SYSTEM_FOREGROUND, nullptr,
                                      &WindowEventProc, 0, 0, WINEVENT_OUTOFCONTEXT));
    sweep_.reset(SetTimer(nullptr, 0, SweepPeriodMs, &SweepProc));
}

void CALLBACK HookSet::SweepProc(HWND, UINT, UINT_PTR, DWORD) noexcept {
    if (current_) current_->Sweep();
}

void HookSet::Sweep() noexcept {
    std::vector<HWND> alive;
    EnumWindows(&CollectTopLevel, reinterpret_cast<LPARAM>(&alive));
    for (HWND window : alive) ReportCreated(window);
    ReportForeground(GetForegroundWindow());
    for (auto it = topLevel_.begin(); it != topLevel_.end();) {
        const HWND window = *it;
        ++it;
        if (!IsWindow(window)) ReportDestroyed(window);
    }
}

BOOL CALLBACK HookSet::CollectTopLevel(HWND window, LPARAM windows) noexcept {
    if (IsShellWindow(window)) {
        try {
            reinterpret_cast<std::vector<HWND>*>(windows)->push_back(window);
        } catch (...) {
            return FALSE;
        }
    }
    return TRUE;
}

LRESULT CALLBACK HookSet::MouseProc(int code, WPARAM wParam, LPARAM lParam) noexcept {
    if (code == HC_ACTION && current_) {
        const auto& mouse = *reinterpret_cast<const MSLLHOOKSTRUCT*>(lParam);
        current_->Post(current_->messages_.mouse, wParam,
                       static_cast<LPARAM>(watch::MousePositionParam(mouse.pt.x, mouse.pt.y)));
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

void CALLBACK HookSet::WindowEventProc(HWINEVENTHOOK, DWORD event, HWND window, LONG object,
                                       LONG child, DWORD, DWORD) noexcept {
    if (current_ && window && object == OBJID_WINDOW && child == CHILDID_SELF)
        current_->OnWindowEvent(event, window);
}

void HookSet::OnWindowEvent(DWORD event, HWND window) noexcept {
    switch (watch::ShellCodeForWinEvent(event)) {
    case watch::ShellCodeWindowCreated:
        if (IsShellWindow(window)) ReportCreated(window);
        break;
    case watch::ShellCodeWindowDestroyed:
        ReportDestroyed(window);
        break;
    case watch::ShellCodeWindowActivated:
        ReportForeground(window);
        break;
    default:
        break;
    }
}

// The event and the sweep may both see one change; only the first reports it.
void HookSet::ReportCreated(HWND window) noexcept {
    try {
        if (!topLevel_.insert(window).second) return;
    } catch (...) {
        return; // without room to remember it, its end could not be reported either
    }
    Post(messages_.shell, reinterpret_cast<WPARAM>(window), watch::ShellCodeWindowCreated);
}

void HookSet::ReportForeground(HWND window) noexcept {
    if (!window || window == lastForeground_) return;
    lastForeground_ = window;
    Post(messages_.shell, reinterpret_cast<WPARAM>(window), watch::ShellCodeWindowActivated);
}

void HookSet::ReportDestroyed(HWND window) noexcept {
    if (topLevel_.erase(window) == 0) return;
    Post(messages_.shell, reinterpret_cast<WPARAM>(window), watch::ShellCodeWindowDestroyed);
}

void HookSet::Post(UINT message, WPARAM wParam, LPARAM lParam) noexcept {
    if (const HWND receiver = receiver_.Current()) PostMessageA(receiver, message, wParam, lParam);
}

} // namespace vivuvav

#include "KeyboardWatch.h"

#include "services/win/HookProtocol.h"

namespace vivuvav {

std::atomic<KeyboardWatch*> KeyboardWatch::current_{nullptr};

namespace {

// Any object inside this module, to find the module by address.
const char moduleAnchor = 0;

watch::RawKeystroke Keystroke(const KBDLLHOOKSTRUCT& key) noexcept {
    watch::RawKeystroke keystroke;
    keystroke.virtualKey = key.vkCode;
    keystroke.scanCode = key.scanCode;
    keystroke.extended = (key.flags & LLKHF_EXTENDED) != 0;
    if (key.scanCode == 0) keystroke.mappedScanCode = MapVirtualKeyA(key.vkCode, MAPVK_VK_TO_VSC);
    if (key.vkCode == 0) {
        const UINT scan = (key.scanCode & 0xFF) | (keystroke.extended ? 0xE000 : 0);
        keystroke.mappedVirtualKey = MapVirtualKeyA(scan, MAPVK_VSC_TO_VK_EX);
    }
    keystroke.released = (key.flags & LLKHF_UP) != 0;
    return keystroke;
}

} // namespace

KeyboardWatch::KeyboardWatch() noexcept
    : message_(RegisterWindowMessageA(hookprotocol::KeyMessageName)) {}

KeyboardWatch::~KeyboardWatch() {
    Stop();
}

void KeyboardWatch::Start() noexcept {
    if (active_) return;
    if (!GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS, &moduleAnchor, &module_))
        return;
    // Keys pressed while nobody watched are unknown; start from all keys up.
    keys_.Reset();
    current_ = this;
    hook_.reset(SetWindowsHookExA(WH_KEYBOARD_LL, &Proc, module_, 0));
    if (hook_) {
        active_ = true;
        return;
    }
    current_ = nullptr;
    FreeLibrary(module_);
    module_ = nullptr;
}

void KeyboardWatch::Stop() noexcept {
    if (!active_) return;
    hook_.reset();
    KeyboardWatch* self = this;
    current_.compare_exchange_strong(self, nullptr);
    active_ = false;
    // Not the last reference: whoever calls into the library to stop it holds one.
    FreeLibrary(module_);
    module_ = nullptr;
}

LRESULT CALLBACK KeyboardWatch::Proc(int code, WPARAM wParam, LPARAM lParam) noexcept {
    KeyboardWatch* watch = current_;
    if (code == HC_ACTION && watch) watch->OnKey(*reinterpret_cast<const KBDLLHOOKSTRUCT*>(lParam));
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

void KeyboardWatch::OnKey(const KBDLLHOOKSTRUCT& key) noexcept {
#ifdef VIVUVAV_DROP_HOOK_ON_KEY
    // Only in a test build of the library: stands for the system removing a hook that once
    // took too long, silently, with nobody told.
    if (key.vkCode == VIVUVAV_DROP_HOOK_ON_KEY) {
        UnhookWindowsHookEx(hook_.release());
        return;
    }
#endif
    // The state is kept even while nothing is delivered, so repeats stay marked right.
    const watch::KeyMessage message = keys_.Apply(Keystroke(key));
    const HWND receiver = receiver_.Current();
    if (!receiver) return;
    const auto wParam = static_cast<WPARAM>(static_cast<uint32_t>(message.wParam));
    const auto lParam = static_cast<LPARAM>(message.lParam);
    // The hook is called on the thread that installed it.
    if (receiver_.Thread() == GetCurrentThreadId())
        SendMessageA(receiver, message_, wParam, lParam);
    else
        PostMessageA(receiver, message_, wParam, lParam);
}

} // namespace vivuvav

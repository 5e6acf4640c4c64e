#include "services/HookWatchdog.h"

#include "services/WatchEvents.h"

namespace zevaver {

bool HookWatchdog::RawKey(uint32_t key, uint32_t now) noexcept {
    key = watch::GenericKeyCode(key);
    // 0 and 255 are no keys (the fake Shift some keyboards send around other keys).
    if (key == 0 || key >= 255) return false;
    ++raw_[key];
    lastRaw_[key] = now;
    const bool ahead = static_cast<int32_t>(raw_[key] - hook_.Of(key)) > baseline_[key];
    waiting_.set(key, ahead || waiting_[key]);
    return waiting_[key];
}

bool HookWatchdog::Check(uint32_t now) noexcept {
    bool missed = false;
    for (uint32_t key = 0; key < waiting_.size(); ++key) {
        if (!waiting_[key] || now - lastRaw_[key] < SettleMs) continue;
        waiting_.reset(key);
        const auto gained = static_cast<int32_t>(raw_[key] - hook_.Of(key));
        if (gained > baseline_[key]) missed = true;
        baseline_[key] = gained;
    }
    return missed;
}

std::optional<uint32_t> HookWatchdog::NextCheckIn(uint32_t now) const noexcept {
    std::optional<uint32_t> next;
    for (uint32_t key = 0; key < waiting_.size(); ++key) {
        if (!waiting_[key]) continue;
        const uint32_t since = now - lastRaw_[key];
        const uint32_t in = since >= SettleMs ? 0 : SettleMs - since;
        if (!next || in < *next) next = in;
    }
    return next;
}

} // namespace zevaver

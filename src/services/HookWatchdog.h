// Notices when the keyboard hook has missed keys. The system drops a low-level hook
// silently (one that once took too long), and Wine passes over the hook of a thread it
// judges hung; either way nobody is told, and a key released meanwhile would leave its note
// sounding. Raw keyboard input, which reaches another thread whatever the hook does, counts
// every keystroke per key; the hook counts what it sees. Once a key's raw keystrokes have
// had time to reach the hook too, a key for which raw input gained on the hook means the
// hook missed it.
//
// The hook may be called before the key's raw input is queued (Windows) or after (Wine), so
// the two are compared only once a key has been quiet for a moment. Keys that only one side
// sees by design (input meant for a program the hook may not watch) set a new baseline
// after one report, rather than being reported at every check.
#pragma once

#include <array>
#include <atomic>
#include <bitset>
#include <cstdint>
#include <optional>

namespace zevaver {

// The hook's count of keystrokes per key code: written by the hook's thread only.
class HookTally {
public:
    void Count(uint32_t key) noexcept {
        if (key < counts_.size()) counts_[key].fetch_add(1, std::memory_order_relaxed);
    }
    [[nodiscard]] uint32_t Of(uint32_t key) const noexcept {
        return key < counts_.size() ? counts_[key].load(std::memory_order_relaxed) : 0;
    }

private:
    std::array<std::atomic<uint32_t>, 256> counts_{};
};

class HookWatchdog {
public:
    // How long a key stays quiet before its counts are compared; far longer than a working
    // hook ever lags behind raw input.
    static constexpr uint32_t SettleMs = 60;
    // Without raw input: the system's last input this much newer than the last the hooks
    // reported means they missed it.
    static constexpr uint32_t UnseenInputMs = 1000;

    explicit HookWatchdog(const HookTally& hook) noexcept : hook_(hook) {}

    // A keystroke seen as raw input, at `now` (milliseconds of a wrapping clock). Key codes
    // of the modifiers count as the generic ones, as the hook reports them. True when the
    // hook has not counted it yet, so a check is due; usually it has (a working hook is
    // called first, or handles the key faster than raw input is read), and no timer runs.
    [[nodiscard]] bool RawKey(uint32_t key, uint32_t now) noexcept;
    // Compares the keys quiet long enough; true when the hook missed a keystroke.
    [[nodiscard]] bool Check(uint32_t now) noexcept;
    // How long until the next check is due, while a key waits for one.
    [[nodiscard]] std::optional<uint32_t> NextCheckIn(uint32_t now) const noexcept;

    // Without raw input, the rule for the system's own record of the last input.
    [[nodiscard]] static bool InputUnseen(uint32_t lastInput, uint32_t lastSeen) noexcept {
        return static_cast<int32_t>(lastInput - lastSeen) > static_cast<int32_t>(UnseenInputMs);
    }

private:
    const HookTally& hook_;
    std::array<uint32_t, 256> raw_{};
    // Raw count minus the hook's at the last comparison.
    std::array<int32_t, 256> baseline_{};
    std::array<uint32_t, 256> lastRaw_{};
    std::bitset<256> waiting_;
};

} // namespace zevaver

// A queue between exactly two threads, one that only pushes and one that only pops, which
// never waits and never allocates after construction: neither side can hold the other up.
#pragma once

#include <array>
#include <atomic>
#include <cstddef>
#include <utility>

namespace zevaver {

namespace fw {

template <typename T, std::size_t Capacity> class SpscQueue {
    static_assert(Capacity >= 2 && (Capacity & (Capacity - 1)) == 0, "a power of two");

public:
    // The pushing side. False when the queue is full (the item is left as it was).
    [[nodiscard]] bool TryPush(T&& item) noexcept {
        const std::size_t tail = tail_.load(std::memory_order_relaxed);
        if (tail - head_.load(std::memory_order_acquire) == Capacity) return false;
        slots_[tail % Capacity] = std::move(item);
        tail_.store(tail + 1, std::memory_order_release);
        return true;
    }

    // The pushing side: a push now would fail.
    [[nodiscard]] bool Full() const noexcept {
        return tail_.load(std::memory_order_relaxed) - head_.load(std::memory_order_acquire) ==
               Capacity;
    }

    // The popping side. False when the queue is empty.
    [[nodiscard]] bool TryPop(T& item) noexcept {
        const std::size_t head = head_.load(std::memory_order_relaxed);
        if (head == tail_.load(std::memory_order_acquire)) return false;
        item = std::move(slots_[head % Capacity]);
        head_.store(head + 1, std::memory_order_release);
        return true;
    }

private:
    std::array<T, Capacity> slots_{};
    // Kept on cache lines of their own, so the two sides do not slow each other down.
    alignas(64) std::atomic<std::size_t> head_{0};
    alignas(64) std::atomic<std::size_t> tail_{0};
};

} // namespace fw

} // namespace zevaver

// A set of MIDI notes 0..127 in 128 bits.
#pragma once

#include <bit>
#include <cstdint>

namespace zevaver {

inline constexpr int MidiNoteCount = 128;

// Note arithmetic (octave shift, transposition) can leave the range a MIDI data byte holds.
[[nodiscard]] constexpr bool IsMidiNote(int64_t note) noexcept {
    return note >= 0 && note < MidiNoteCount;
}

// Any other number is simply never a member: adding or removing it changes nothing, so
// callers may pass unchecked note arithmetic.
class TNoteSet {
public:
    [[nodiscard]] constexpr bool Contains(int64_t note) const noexcept {
        return IsMidiNote(note) && ((words_[note / 64] >> (note % 64)) & 1u) != 0;
    }
    constexpr void Add(int64_t note) noexcept {
        if (IsMidiNote(note)) words_[note / 64] |= Bit(note);
    }
    constexpr void Remove(int64_t note) noexcept {
        if (IsMidiNote(note)) words_[note / 64] &= ~Bit(note);
    }
    constexpr void Clear() noexcept { words_[0] = words_[1] = 0; }

    [[nodiscard]] constexpr bool Empty() const noexcept { return (words_[0] | words_[1]) == 0; }
    [[nodiscard]] constexpr int Size() const noexcept {
        return std::popcount(words_[0]) + std::popcount(words_[1]);
    }

    constexpr bool operator==(const TNoteSet&) const noexcept = default;

    // The set as two 64-bit words (notes 0..63, then 64..127), for handing between threads.
    [[nodiscard]] constexpr uint64_t Word(int index) const noexcept { return words_[index & 1]; }
    [[nodiscard]] static constexpr TNoteSet FromWords(uint64_t low, uint64_t high) noexcept {
        TNoteSet set;
        set.words_[0] = low;
        set.words_[1] = high;
        return set;
    }

private:
    static constexpr uint64_t Bit(int64_t note) noexcept { return uint64_t{1} << (note % 64); }

    uint64_t words_[2] = {0, 0};
};

} // namespace zevaver

// MIDI channel messages packed the way midiOutShortMsg takes them: status in the lowest
// byte, then the two data bytes: status + data1 x 256 + data2 x 65536.
#pragma once

#include <cstdint>

namespace zevaver {

namespace midi {

inline constexpr uint32_t NoteOffStatus = 0x80;
inline constexpr uint32_t NoteOnStatus = 0x90;

// Channels count from 1. Only the low four bits of channel - 1 go into the status byte, so
// a channel outside 1..16 can never turn a note-on status into another message kind.
[[nodiscard]] constexpr uint32_t StatusByte(uint32_t kind, int channel) noexcept {
    return kind | ((static_cast<uint32_t>(channel) - 1u) & 0x0Fu);
}

[[nodiscard]] constexpr uint32_t ShortMessage(uint32_t status, int data1, int data2) noexcept {
    return (status & 0xFFu) | ((static_cast<uint32_t>(data1) & 0xFFu) << 8) |
           ((static_cast<uint32_t>(data2) & 0xFFu) << 16);
}

[[nodiscard]] constexpr uint32_t NoteOn(int channel, int note, int velocity) noexcept {
    return ShortMessage(StatusByte(NoteOnStatus, channel), note, velocity);
}

// A true note-off status, never a note-on with velocity 0.
[[nodiscard]] constexpr uint32_t NoteOff(int channel, int note, int velocity) noexcept {
    return ShortMessage(StatusByte(NoteOffStatus, channel), note, velocity);
}

} // namespace midi

} // namespace zevaver

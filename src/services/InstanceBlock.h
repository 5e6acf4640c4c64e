// The instance block: a small shared memory block through which a later start of the
// program hands its command line to the running copy, and the names of the two named
// objects (block and semaphore) that tie copies of one executable together. Any process
// can write the block, so reading trusts nothing in it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace zevaver {

namespace instance {

inline constexpr size_t ReceiverOffset = 0;
inline constexpr size_t CountOffset = 4;
inline constexpr size_t FirstSlotOffset = 8;
inline constexpr int32_t MaxParameters = 10;
inline constexpr size_t MaxParameterLength = 300;
// A parameter of at most 300 characters and its terminating zero byte.
inline constexpr size_t SlotSize = MaxParameterLength + 1;
inline constexpr size_t BlockSize = FirstSlotOffset + MaxParameters * SlotSize; // 3018

// Posted to the running copy's receiver window: the platform's first private message
// number plus 300.
inline constexpr uint32_t NewInstanceMessage = 1024 + 300;
// How long a later start waits, each time, for the running copy.
inline constexpr uint32_t WaitMilliseconds = 10000;

using Block = std::span<uint8_t, BlockSize>;
using ConstBlock = std::span<const uint8_t, BlockSize>;

// The receiver window's handle is stored as its low 32 bits, which is all a window
// handle carries also in 64-bit processes; reading it back sign-extends it.
void WriteReceiver(Block block, uintptr_t handle) noexcept;
[[nodiscard]] intptr_t ReadReceiver(ConstBlock block) noexcept;

// Stores at most 10 parameters, each cut to 300 characters, with their zero bytes; the
// bytes after each terminator stay as they were.
void WriteParameters(Block block, const std::vector<std::string>& parameters) noexcept;

// The stored count as far as it can be used: below 0 reads as 0, above 10 as 10.
[[nodiscard]] int32_t ReadCount(ConstBlock block) noexcept;
// The parameters the count names, each read up to its zero byte and never past its slot
// (a slot without one gives its 301 bytes).
[[nodiscard]] std::vector<std::string> ReadParameters(ConstBlock block);

// The name the program is shipped under.
inline constexpr std::string_view ProgramFileName = "MIDIKeyboard.exe";

// The block's name: the executable's file name without its folders. Copies meet when
// their file names match as the file system matches them, without regard to letter case,
// so the caller passes the path folded to upper case by the platform's own table. The
// shipped name keeps the spelling it always had: copies installed before name the objects
// after the file name as spelt, and they and this one still find each other.
[[nodiscard]] std::string BlockName(std::string_view upperCasePath);
// The block's name followed by "Sem".
[[nodiscard]] std::string SemaphoreName(std::string_view upperCasePath);

} // namespace instance

} // namespace zevaver

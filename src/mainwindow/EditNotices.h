// What the window says while keys are mapped ("Edit keys"), in a line over the keyboard: that
// it is editing, which note waits for a key, and what a key mapped or removed changed.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace zevaver {

// A note as the program names it: C4 is MIDI note 48.
[[nodiscard]] std::string NoteName(int note);

// Editing, with no note picked.
[[nodiscard]] std::string EditingNotice();
// A note picked, waiting for its key.
[[nodiscard]] std::string PickedNotice(int note);
// A key mapped to a note. previous: the note the key played before, or a negative number;
// duty: what the key did in the window before it played (see CommandKeyDuty), or "".
[[nodiscard]] std::string MappedNotice(std::string_view keyName, int note, int previous,
                                       std::string_view duty);
// A key's name in a sentence: as the key shows it, but the space bar's in words.
[[nodiscard]] std::string KeyNameInWords(int entry, std::string shownName);
// The keys that played a note removed.
[[nodiscard]] std::string RemovedNotice(int note);

// What a key of the focused window does there ("latches the pedal"); "" for a key without a
// command. A key the layout plays does this no more: it plays.
[[nodiscard]] std::string_view CommandKeyDuty(uint16_t key) noexcept;

} // namespace zevaver

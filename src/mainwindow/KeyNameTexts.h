// "Key names": which computer keys each on-screen key shows, the keys that play its note
// now (with the base octave and transposition in force; the pedal key plays nothing).
#pragma once

#include "engine/KeyNotes.h"
#include "keyboard/KeyLabels.h"

#include <cstdint>
#include <functional>
#include <string>

namespace zevaver {

// nameOf gives the caption of a layout entry.
[[nodiscard]] NoteTexts KeyNameTexts(const KeyNoteTable& table, int32_t baseOctave,
                                     int32_t transpose, int32_t pedalKey,
                                     const std::function<std::string(int entry)>& nameOf);

} // namespace zevaver

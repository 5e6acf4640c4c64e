#include "mainwindow/KeyNameTexts.h"

#include "engine/KeyPlayer.h"
#include "keyboard/NoteSet.h"

namespace zevaver {

namespace {

// The entries a pedal key silences: Shift is three of them, its two sides and itself.
bool SilencedByPedal(int entry, int32_t pedalKey) noexcept {
    if (pedalKey == vk::Shift)
        return entry == vk::Shift || entry == LeftShiftEntry || entry == RightShiftEntry;
    return entry == pedalKey;
}

} // namespace

NoteTexts KeyNameTexts(const KeyNoteTable& table, int32_t baseOctave, int32_t transpose,
                       int32_t pedalKey, const std::function<std::string(int entry)>& nameOf) {
    NoteTexts texts;
    const int32_t offset = LayoutNoteOffset(baseOctave, transpose);
    for (int entry = 1; entry < static_cast<int>(table.size()); ++entry) {
        const uint8_t value = table[static_cast<size_t>(entry)];
        if (value == 0 || SilencedByPedal(entry, pedalKey)) continue;
        const int32_t note = value + offset;
        if (IsMidiNote(note)) texts[static_cast<size_t>(note)].push_back(nameOf(entry));
    }
    return texts;
}

} // namespace zevaver

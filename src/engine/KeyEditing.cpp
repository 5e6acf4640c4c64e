#include "engine/KeyEditing.h"

#include "engine/VirtualKeys.h"

namespace zevaver {

namespace {

constexpr int32_t GenericShiftEntry = vk::Shift;

void Set(play::LayoutEdit& edit, KeyNoteTable& table, int32_t entry, uint8_t value) {
    const auto index = static_cast<size_t>(entry);
    table[index] = value;
    edit.changed.set(index);
    edit.values[index] = value;
}

} // namespace

void KeyEditing::SetEditing(bool on) noexcept {
    editing_ = on;
    if (!on) picked_ = NoPick;
}

void KeyEditing::Pick(int32_t note) noexcept {
    picked_ = editing_ && note >= 0 && note <= 127 ? note : NoPick;
}

KeyEditing::Outcome KeyEditing::Take(int32_t key, int32_t entry, int32_t offset,
                                     KeyNoteTable& table) {
    Outcome outcome;
    if (!Taking() || key == vk::Escape || entry <= 0 || entry > 255) return outcome;
    outcome.taken = true;
    play::LayoutEdit edit;
    edit.note = picked_;
    edit.key = static_cast<uint16_t>(key);

    if (key == vk::Delete || key == vk::Back) {
        edit.kind = play::LayoutEdit::Kind::Removed;
        for (int32_t e = 1; e < static_cast<int32_t>(table.size()); ++e) {
            const uint8_t value = table[static_cast<size_t>(e)];
            if (value != 0 && value + offset == picked_) Set(edit, table, e, 0);
        }
        if (edit.changed.any()) outcome.edit = edit;
        return outcome;
    }

    const int32_t value = picked_ - offset;
    picked_ = NoPick;
    if (value < 1 || value > 255) {
        edit.kind = play::LayoutEdit::Kind::OutOfReach;
        outcome.edit = edit;
        return outcome;
    }
    edit.kind = play::LayoutEdit::Kind::Mapped;
    edit.entry = entry;
    if (const uint8_t before = table[static_cast<size_t>(entry)]; before != 0 && before != value)
        edit.previous = before + offset;
    Set(edit, table, entry, static_cast<uint8_t>(value));
    // The generic Shift entry answers to both Shift keys: mapping one side hands it to the
    // other, so each side then plays exactly what it says.
    const bool shiftSide = entry == LeftShiftEntry || entry == RightShiftEntry;
    if (shiftSide && table[GenericShiftEntry] != 0) {
        const int32_t other = entry == LeftShiftEntry ? RightShiftEntry : LeftShiftEntry;
        if (table[static_cast<size_t>(other)] == 0)
            Set(edit, table, other, table[GenericShiftEntry]);
        Set(edit, table, GenericShiftEntry, 0);
    }
    outcome.edit = edit;
    return outcome;
}

} // namespace zevaver

// Mapping computer keys to notes from the keyboard itself: the engine's side. While editing
// is on and a note is picked (a click on an on-screen key), the next key that would play is
// mapped to that note instead: it plays nothing, and the layout the engine plays from has
// the new entry at once. Delete and Backspace remove the keys that play the picked note.
// Each change goes to the window as a LayoutEdit, which writes it into the layout file.
#pragma once

#include "engine/KeyNotes.h"

#include <bitset>
#include <cstdint>
#include <optional>

namespace zevaver {

namespace play {

// A change the engine made to its layout while mapping keys.
struct LayoutEdit {
    enum class Kind : uint8_t {
        Mapped,     // a key now plays the picked note
        Removed,    // the keys that played the picked note play nothing now
        OutOfReach, // no layout value plays the picked note at this octave and transposition
    };
    Kind kind = Kind::Mapped;
    int32_t note = 0;  // the picked note
    uint16_t key = 0;  // the key pressed
    int32_t entry = 0; // Mapped: the layout entry (1 and 2 for the left and right Shift)
    // Mapped: the note the entry played before, at the octave and transposition in force;
    // NoNote when it played none.
    static constexpr int32_t NoNote = -1;
    int32_t previous = NoNote;
    // The main window was the active window: the key's own message reaches it next.
    bool inMainWindow = false;
    // How many layouts (SetLayout) the engine had been sent: the edit changed the last.
    uint32_t layout = 0;
    std::bitset<256> changed; // the entries changed
    KeyNoteTable values{};    // the new value of each entry changed; 0 unmaps it
};

} // namespace play

class KeyEditing {
public:
    static constexpr int32_t NoPick = -1;

    // Switching editing off forgets the pick.
    void SetEditing(bool on) noexcept;
    // A note 0..127, or NoPick; only while editing.
    void Pick(int32_t note) noexcept;
    [[nodiscard]] int32_t Picked() const noexcept { return picked_; }
    // Keys pressed now are offered to Take.
    [[nodiscard]] bool Taking() const noexcept { return editing_ && picked_ != NoPick; }

    struct Outcome {
        bool taken = false; // the key plays nothing
        std::optional<play::LayoutEdit> edit;
    };
    // A key pressed while a note is picked. entry: the key's layout entry (1 or 2 for a
    // Shift key with its side); offset: what the base octave and the transposition add to
    // a layout value. Escape is left alone (it may end editing); Delete and Backspace
    // remove and keep the pick; any other key is mapped and ends the pick.
    [[nodiscard]] Outcome Take(int32_t key, int32_t entry, int32_t offset, KeyNoteTable& table);

private:
    bool editing_ = false;
    int32_t picked_ = NoPick;
};

} // namespace zevaver

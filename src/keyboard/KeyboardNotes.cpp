#include "keyboard/KeyboardNotes.h"

namespace zevaver {

void TKeyboardNotes::FireNoteOff(int note) {
    if (OnNoteOff) OnNoteOff(*this, note, 0);
}

void TKeyboardNotes::PressNote(int note, int velocity) {
    downNotes_.Add(note);
    if (soundingNotes_.Contains(note)) FireNoteOff(note);
    soundingNotes_.Add(note);
    if (OnNoteOn) OnNoteOn(*this, note, velocity);
}

// A note that is not sounding still gets its note-off reported: the port drops what it
// owes nothing for, and a note outside what the sets can hold is never lost that way.
void TKeyboardNotes::ReleaseNote(int note) {
    downNotes_.Remove(note);
    if (host_.PedalDown()) return;
    soundingNotes_.Remove(note);
    FireNoteOff(note);
}

void TKeyboardNotes::ReleaseAllNotes() {
    for (int note = 0; note < MidiNoteCount; ++note) {
        if (soundingNotes_.Contains(note)) ReleaseNote(note);
    }
}

} // namespace zevaver

// The notes of the keyboard: which keys are held down and which notes sound. A note that
// starts is reported through OnNoteOn, one that ends through OnNoteOff; the sustain pedal
// keeps released notes sounding until it comes up. Computer keys and the mouse play through
// the same one, so a note struck from both still gets exactly one note-off. It draws
// nothing: the on-screen keyboard shows DownNotes.
#pragma once

#include "keyboard/NoteSet.h"

#include <functional>

namespace zevaver {

class TKeyboardNotes;
using TNotesEvent = std::function<void(TKeyboardNotes& sender, int note, int velocity)>;

// What the notes need to know of the player.
struct NotesHost {
    // True while the sustain pedal holds released notes.
    [[nodiscard]] virtual bool PedalDown() const = 0;

protected:
    ~NotesHost() = default;
};

class TKeyboardNotes {
public:
    explicit TKeyboardNotes(const NotesHost& host) noexcept : host_(host) {}
    virtual ~TKeyboardNotes() = default;
    TKeyboardNotes(const TKeyboardNotes&) = delete;
    TKeyboardNotes& operator=(const TKeyboardNotes&) = delete;

    TNotesEvent OnNoteOn;
    TNotesEvent OnNoteOff;

    // Keys held down.
    [[nodiscard]] const TNoteSet& DownNotes() const noexcept { return downNotes_; }
    // Notes whose note-on has been reported and whose note-off is still due; differs from
    // DownNotes while the pedal holds released notes.
    [[nodiscard]] const TNoteSet& SoundingNotes() const noexcept { return soundingNotes_; }

    // A note struck again while it sounds (held, or sustained by the pedal) ends first.
    void PressNote(int note, int velocity);
    // The key comes up; the note ends unless the pedal holds it.
    void ReleaseNote(int note);
    // Ends every sounding note (still subject to the pedal).
    void ReleaseAllNotes();
    [[nodiscard]] bool IsNoteSounding(int note) const noexcept {
        return soundingNotes_.Contains(note);
    }

protected:
    // The notes sounded where nothing sounds any more (a port that went away): those only
    // the pedal held are let go; a note whose key is held ends when the key comes up.
    void ForgetSustainedNotes() noexcept {
        soundingNotes_ = TNoteSet::FromWords(soundingNotes_.Word(0) & downNotes_.Word(0),
                                             soundingNotes_.Word(1) & downNotes_.Word(1));
    }

private:
    void FireNoteOff(int note);

    const NotesHost& host_;
    TNoteSet downNotes_;
    TNoteSet soundingNotes_;
};

} // namespace zevaver

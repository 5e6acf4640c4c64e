// Where a key becomes a note. The engine owns everything the computer keys and the mouse
// play with: the key player, the keyboard's notes with the sustain pedal, the MIDI port and
// the copies of the settings and the layout that playing reads. It runs on a thread of its
// own (the input thread, which owns the keyboard hook), so no window work can delay a note
// or anyone's typing: a key is decided and its note sent inside the hook's call.
//
// The window's thread reaches it only through two doors that never make the engine wait:
//  - commands (Send), queued and applied in the order sent, all of them before the next key;
//  - the fader's position (SetVelocityPosition), read at every key-down.
// The engine tells the window what changed (the keys held, the blink, the playing switch
// and base octave a shortcut changed, the push check mark) through View, and what it must
// report through TakeProblem; EngineHost::WakeWindow says when to look. The window draws
// afterwards; nothing it does comes before a note.
#pragma once

#include "engine/KeyEditing.h"
#include "engine/KeyNotes.h"
#include "engine/KeyPlayer.h"
#include "engine/Settings.h"
#include "framework/SpscQueue.h"
#include "keyboard/MIDIKeys.h"

#include <array>
#include <atomic>
#include <cstdint>
#include <string_view>
#include <variant>

namespace zevaver {

namespace play {

struct SetEnabled {
    bool value;
};
struct SetBaseOctave {
    int32_t value;
};
struct SetPedalKey {
    int32_t key;
};
struct SetShortcuts {
    std::array<int32_t, ShortcutCount> values;
};
struct SetChannel {
    int32_t channel;
};
struct SetLayout {
    KeyNoteTable table;
};
// Releases everything the pedal allows, then moves to the new transposition.
struct SetTranspose {
    int32_t value;
};
// "Push": latches or unlatches the pedal.
struct TogglePedal {};
// While the settings dialog is open, keys play nothing and shortcuts do nothing.
struct SetDialogOpen {
    bool open;
};
// A port the window opened (it may wait on the driver; the engine's thread never does):
// the engine plays on it from now on and gives back the one it had. id names the port in
// what the engine gives back.
struct AttachPort {
    MidiOut::Handle port;
    int32_t device;
    uint32_t id;
};
// The engine gives its port back (ReturnedPort) for the window to reset and close.
struct DetachPort {};
// The port open now stands at another number of the library's list; nothing is closed.
struct RenumberDevice {
    int32_t device;
};
// A note played on the on-screen keys.
struct MousePress {
    int32_t note;
    int32_t velocity;
};
struct MouseRelease {
    int32_t note;
};
// "Edit keys": while on, a picked note takes the next key pressed (see KeyEditing).
struct EditKeys {
    bool on;
};
// The note picked on the on-screen keys, or KeyEditing::NoPick.
struct PickNote {
    int32_t note;
};
// Keys are known by their place on the keyboard rather than by what they print.
struct SetKeysByPosition {
    bool on;
};

using Command =
    std::variant<SetEnabled, SetBaseOctave, SetPedalKey, SetShortcuts, SetChannel, SetLayout,
                 SetTranspose, TogglePedal, SetDialogOpen, AttachPort, DetachPort, MousePress,
                 MouseRelease, RenumberDevice, EditKeys, PickNote, SetKeysByPosition>;

// What the window shows of the engine.
struct View {
    // How many commands the engine has applied (Sent counts those sent).
    uint32_t applied = 0;
    bool enabled = true;
    int32_t baseOctave = 0;
    bool pushChecked = false;
    TNoteSet down;
    // Counts the messages sent: each one blinks the icon.
    uint32_t blinks = 0;
    // The note picked for mapping a key; a key mapped to it ends the pick.
    int32_t picked = KeyEditing::NoPick;
    friend bool operator==(const View&, const View&) = default;
};

// A failure the window must report to the user, once.
struct Problem {
    std::array<char, 128> text{}; // cut to fit; zero-terminated
};

// A port the engine gave back for the window to reset and close: on DetachPort, when
// another was attached over it, or when a send found it gone (lost: nothing more went to
// it and nothing that sounded there is held any more).
struct ReturnedPort {
    MidiOut::Handle port = 0;
    uint32_t id = 0; // as attached
    bool lost = false;
};

} // namespace play

// What the engine needs of the platform.
class EngineHost {
public:
    // Called on the window's thread: commands are waiting; the engine's thread should run
    // ProcessCommands soon. May be called while the engine's thread is not running yet.
    // Not called again until ProcessCommands runs, unless this returns false (the wake-up
    // could not be sent: the next command tries again).
    virtual bool WakeEngine() noexcept = 0;
    // Called on the engine's thread: the view changed or something waits for the window;
    // the window's thread should call EngineChanged soon. Not called again until the view
    // is read, unless this returns false (the next change tries again).
    virtual bool WakeWindow() noexcept = 0;
    // For the key player, on the engine's thread.
    [[nodiscard]] virtual bool IsMainWindowActive() = 0;
    [[nodiscard]] virtual bool IsKeyDown(int32_t key) = 0;
    [[nodiscard]] virtual uint32_t EventTime() = 0;

protected:
    ~EngineHost() = default;
};

class PlayingEngine final : private KeyPlayerHost, private NotesHost {
public:
    PlayingEngine(EngineHost& host, MidiOut& midi);
    PlayingEngine(const PlayingEngine&) = delete;
    PlayingEngine& operator=(const PlayingEngine&) = delete;

    // ---- The window's thread. ----
    // Queues a command: it takes effect before any key the engine handles afterwards, even
    // when the queue is full (the window then waits for the engine, never the other way).
    void Send(play::Command command) noexcept;
    [[nodiscard]] uint32_t Sent() const noexcept { return sent_; }
    // Returns once every command sent so far has been applied.
    void AwaitApplied() noexcept;
    // A wake-up of the engine could not be sent earlier: it is tried again.
    void RetryWakeEngine() noexcept { WakeEngine(); }
    // The fader's position, 0..127, 0 the loudest.
    void SetVelocityPosition(int32_t position) noexcept;
    // What the engine shows now. Reading it asks for the next WakeWindow.
    [[nodiscard]] play::View View() noexcept;
    [[nodiscard]] bool TakeProblem(play::Problem& problem) noexcept;
    // Problems that found the queue full since last asked (never dropped unseen).
    [[nodiscard]] uint32_t TakeDroppedProblems() noexcept;
    [[nodiscard]] bool TakeReturnedPort(play::ReturnedPort& port) noexcept;
    // A note-on found no port (and none was lost): the window should try opening one.
    [[nodiscard]] bool TakePortWanted() noexcept;
    // The changes mapping keys made to the engine's layout, in order; the window's copy of
    // the layout and the file follow them.
    [[nodiscard]] bool TakeLayoutEdit(play::LayoutEdit& edit) noexcept;

    // ---- The engine's thread. ----
    // One watched keystroke, inside the hook's call: the commands waiting first, then the key.
    void KeyWatched(int32_t wParam, int32_t lParam);
    void ProcessCommands();
    // Keys may have changed unseen (the input desktop changed, or the hook missed some):
    // each key held is checked against the system's key state.
    void ReconcileKeys();
    // A failure for the window to show; never shown here.
    void Report(std::string_view text) noexcept;
    // A wake-up of the window could not be sent earlier: it is tried again.
    void RetryWakeWindow() noexcept;

    // ---- Whichever thread runs the engine, or any while none does (start, shutdown,
    // tests). ----
    [[nodiscard]] KeyPlayer& Player() noexcept { return player_; }
    [[nodiscard]] TMIDIKeys& Notes() noexcept { return notes_; }
    [[nodiscard]] const TSettings& Settings() const noexcept { return settings_; }
    [[nodiscard]] const KeyNoteTable& KeyNotes() const noexcept { return keyNotes_; }
    // Silences the port: what still sounds stops at once (the process may end next).
    void ResetPort() { notes_.ResetPort(); }

private:
    struct Queued {
        uint32_t number = 0;
        play::Command command;
    };
    struct Applier;

    void ApplyQueued();
    void Apply(Queued& queued);
    void Publish() noexcept;
    void WakeWindow() noexcept;
    void ReturnPort(MidiOutPort port, bool lost) noexcept;
    void WakeEngine() noexcept;

    // KeyPlayerHost.
    void PressNote(int32_t note, int32_t velocity) override { notes_.PressNote(note, velocity); }
    void ReleaseNote(int32_t note) override { notes_.ReleaseNote(note); }
    [[nodiscard]] bool IsNoteSounding(int32_t note) override { return notes_.IsNoteSounding(note); }
    void ReleaseAllNotes() override { notes_.ReleaseAllNotes(); }
    void ClickCommand(KeyCommand command) override;
    void SetPushChecked(bool checked) override { pushChecked_ = checked; }
    [[nodiscard]] bool IsMainWindowActive() override { return host_.IsMainWindowActive(); }
    [[nodiscard]] bool IsSettingsDialogOpen() override { return dialogOpen_; }
    [[nodiscard]] int32_t VelocityPosition() override;
    [[nodiscard]] bool IsKeyDown(int32_t key) override { return host_.IsKeyDown(key); }
    [[nodiscard]] uint32_t EventTime() override { return host_.EventTime(); }
    [[nodiscard]] bool TakingKeys() override { return editing_.Taking(); }
    [[nodiscard]] bool TakeKey(int32_t key, int32_t entry) override;

    // NotesHost.
    [[nodiscard]] bool PedalDown() const override { return player_.PedalDown(); }

    EngineHost& host_;
    MidiOut& midi_;
    // The engine's own copies, changed only by commands and shortcuts.
    TSettings settings_;
    KeyNoteTable keyNotes_{};
    bool dialogOpen_ = false;
    bool pushChecked_ = false;
    KeyEditing editing_;
    uint32_t layouts_ = 0; // SetLayout commands applied
    uint32_t portId_ = 0;  // the id of the port attached
    uint32_t applied_ = 0;
    uint32_t blinks_ = 0;
    TMIDIKeys notes_;
    KeyPlayer player_;

    // The window's side.
    uint32_t sent_ = 0;
    fw::SpscQueue<Queued, 64> commands_;
    // A command that found the queue full, to be applied after all in the queue: written by
    // the window while `overflowFull_` is false, read by the engine while it is true. The
    // window puts nothing more in the queue until the engine has taken it.
    Queued overflow_;
    std::atomic<bool> overflowFull_{false};
    // Set when the engine has been woken and has not started on the commands since.
    std::atomic<bool> engineWoken_{false};
    std::atomic<int32_t> velocityPosition_{0};

    // What the window reads: the view as last published, field by field.
    play::View published_;
    std::atomic<uint32_t> viewApplied_{0};
    std::atomic<bool> viewEnabled_{true};
    std::atomic<int32_t> viewBaseOctave_{0};
    std::atomic<bool> viewPushChecked_{false};
    std::atomic<uint64_t> viewDownLow_{0};
    std::atomic<uint64_t> viewDownHigh_{0};
    std::atomic<uint32_t> viewBlinks_{0};
    std::atomic<int32_t> viewPicked_{KeyEditing::NoPick};
    // Set when the window has been woken and has not read the view since.
    std::atomic<bool> windowWoken_{false};
    fw::SpscQueue<play::Problem, 16> problems_;
    std::atomic<uint32_t> droppedProblems_{0};
    fw::SpscQueue<play::LayoutEdit, 16> edits_;
    // A port is given back at most once per attach, and the window attaches the next only
    // after taking the last back: never more than two wait here.
    fw::SpscQueue<play::ReturnedPort, 8> returned_;
    std::atomic<bool> portWanted_{false};
};

} // namespace zevaver

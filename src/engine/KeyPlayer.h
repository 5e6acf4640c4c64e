// Playing from the computer keyboard: turns watched key events into notes on the keyboard's
// notes, keeps the modifier and pedal state and runs the global shortcuts. It reaches the
// rest of the program only through KeyPlayerHost, so it runs the same in the program (on the
// input thread, inside the keyboard hook's call) and in tests.
#pragma once

#include "engine/Commands.h"
#include "engine/KeyNotes.h"
#include "engine/Settings.h"
#include "engine/VirtualKeys.h"
#include "framework/Input.h"

#include <array>
#include <bitset>
#include <cstdint>

namespace zevaver {

using fw::ModifierSet;

// The key-with-modifiers number that shortcuts are stored as; 0 for a key code above 255.
[[nodiscard]] int32_t ShortcutValue(int64_t key, ModifierSet modifiers) noexcept;

// What the base octave and the transposition add to a layout value to give the note a key
// plays (the base octave in use is the low byte of the setting, read back signed).
[[nodiscard]] int32_t LayoutNoteOffset(int32_t baseOctave, int32_t transpose) noexcept;

// The code a key has in the layout: with keys by position, the US English code of the place
// the keystroke's flags name (the scan code and the extended bit); the modifiers, and keys
// whose place is not known, keep their own code.
[[nodiscard]] int64_t LayoutKeyOf(int64_t key, uint32_t flags, bool byPosition) noexcept;

class KeyPlayerHost {
public:
    // The keyboard's notes.
    virtual void PressNote(int32_t note, int32_t velocity) = 0;
    virtual void ReleaseNote(int32_t note) = 0;
    [[nodiscard]] virtual bool IsNoteSounding(int32_t note) = 0;
    virtual void ReleaseAllNotes() = 0;
    // A global shortcut fired: the command takes effect before the next key, with exactly a
    // user's click's effect on the menu item.
    virtual void ClickCommand(KeyCommand command) = 0;
    virtual void SetPushChecked(bool checked) = 0;
    // The main window.
    [[nodiscard]] virtual bool IsMainWindowActive() = 0;
    [[nodiscard]] virtual bool IsSettingsDialogOpen() = 0;
    // Position of the velocity trackbar, 0..127, 0 the loudest.
    [[nodiscard]] virtual int32_t VelocityPosition() = 0;
    // The platform's own answer whether a key is held right now (a virtual-key code; 160
    // and 161 ask for the left and the right Shift key alone).
    [[nodiscard]] virtual bool IsKeyDown(int32_t key) = 0;
    // When the key event being handled happened, in milliseconds of a clock that wraps.
    [[nodiscard]] virtual uint32_t EventTime() = 0;
    // Keys are being mapped to notes: a key that would play is offered to TakeKey first.
    // A modifier key is offered when it comes up without another key pressed meanwhile (so
    // shortcuts keep working), a combination with Ctrl, Alt or Windows never.
    [[nodiscard]] virtual bool TakingKeys() { return false; }
    // entry: the key's layout entry (1 and 2 for the left and right Shift key). True when
    // the key was taken: it then plays nothing.
    [[nodiscard]] virtual bool TakeKey(int32_t /*key*/, int32_t /*entry*/) { return false; }

protected:
    ~KeyPlayerHost() = default;
};

class KeyPlayer {
public:
    // Virtual-key codes this class cares about.
    static constexpr int32_t VkShift = vk::Shift;
    static constexpr int32_t VkControl = vk::Control;
    static constexpr int32_t VkMenu = vk::Menu;
    static constexpr int32_t VkLeftWin = vk::LeftWin;
    static constexpr int32_t VkLeftShift = vk::LeftShift;
    static constexpr int32_t VkRightShift = vk::RightShift;

    // Exact keystroke flags of a left or right Shift transition with repeat count 1 and no
    // extended bit; only these play the two Shift entries of the layout.
    static constexpr uint32_t LeftShiftDown = 0x002A0001;
    static constexpr uint32_t LeftShiftUp = 0xC02A0001;
    static constexpr uint32_t RightShiftDown = 0x00360001;
    static constexpr uint32_t RightShiftUp = 0xC0360001;

    static constexpr uint32_t ReleaseBit = vk::KeyReleaseBit;
    static constexpr uint32_t PreviousDownBit = vk::KeyPreviousDownBit;

    // Key-ups can be lost (a switch to the secure desktop swallows them), and a watched
    // event after this long a silence is the first chance to notice.
    static constexpr uint32_t QuietSpellMs = 500;

    // Settings and the layout table are read at every event, never copied.
    KeyPlayer(KeyPlayerHost& host, const TSettings& settings, const KeyNoteTable& keyNotes) noexcept
        : host_(host), settings_(settings), keyNotes_(keyNotes) {
        ownedNotes_.fill(NoKeyNote);
    }

    KeyPlayer(const KeyPlayer&) = delete;
    KeyPlayer& operator=(const KeyPlayer&) = delete;

    // One watched key event: wParam the key code (possibly negated), lParam the keystroke
    // flags. Never suppresses the keystroke.
    void KeyWatchKeyNative(int32_t wParam, uint32_t lParam);

    // Releases everything the pedal allows, then moves to the new transposition.
    void SetTranspose(int32_t value);
    // Releases all notes (the keyboard control holds back what the pedal sustains) and
    // makes the "Push" check mark show the pedal.
    void UpdatePedal();
    // The "Push" command: latches or unlatches the pedal.
    void TogglePedalLatch();
    // Called before the pedal key setting changes: a pedal held down by the old key comes
    // up, and what it sustained ends, since the old key's release will no longer lift it.
    void PedalKeyChanging();
    // Brings the keys tracked as held back in line with the platform's key state: each one
    // that is no longer down is handled as if its key-up had arrived. For when the desktop
    // returns, and run by itself before an event that follows a quiet spell.
    void ReconcileHeldKeys();

    [[nodiscard]] int32_t Transpose() const noexcept { return transpose_; }
    // What the base octave and the transposition add to a layout value now.
    [[nodiscard]] int32_t NoteOffset() const noexcept {
        return LayoutNoteOffset(settings_.BaseOctave, transpose_);
    }
    [[nodiscard]] bool PedalDown() const noexcept { return pedalDown_; }
    [[nodiscard]] ModifierSet HeldModifiers() const noexcept { return heldModifiers_; }
    [[nodiscard]] bool CtrlHeld() const noexcept { return ctrlHeld_; }
    [[nodiscard]] bool AltHeld() const noexcept { return altHeld_; }
    [[nodiscard]] bool WinHeld() const noexcept { return winHeld_; }
    // Whether a key (0..255) is held as far as the watched events tell.
    [[nodiscard]] bool KeyHeld(int32_t key) const noexcept {
        return key >= 0 && key <= 255 && keysDown_[static_cast<std::size_t>(key)];
    }
    // The note that a layout entry's key-down started and its key-up is still to end, or
    // NoKeyNote. Entries 1 and 2 are the left and the right Shift key.
    static constexpr int32_t NoKeyNote = INT32_MIN;
    [[nodiscard]] int32_t KeyNote(std::size_t entry) const noexcept { return ownedNotes_[entry]; }

    // Whether the top four bits of a keystroke's flags describe a transition worth handling:
    // a first key-down, or any key-up.
    [[nodiscard]] static bool IsWantedTransition(uint32_t lParam) noexcept;

private:
    void KeyDown(int64_t key, uint32_t lParam);
    void KeyUp(int64_t key, uint32_t lParam);
    void UpdateHeldModifiers(int64_t key, bool down) noexcept;
    [[nodiscard]] bool RunShortcut(int64_t key);
    // Starts the note of a layout entry, if playing is not gated off or blocked.
    void StartKeyNote(std::size_t entry);
    // Ends the note a layout entry's key-down started, if it still sounds.
    void EndKeyNote(std::size_t entry);
    void ReconcileAfterQuietSpell();
    // Playing is switched on, or the main window is active, and the dialog is closed.
    [[nodiscard]] bool PlayingAllowed();
    [[nodiscard]] bool MappingKeys(int64_t key);
    // The layout entry a key-down plays: for Shift, the side's own entry.
    [[nodiscard]] static int32_t EntryOf(int64_t key, uint32_t lParam) noexcept;
    [[nodiscard]] int64_t LayoutKey(int64_t key, uint32_t lParam) const noexcept {
        return LayoutKeyOf(key, lParam, settings_.KeysByPosition);
    }

    KeyPlayerHost& host_;
    const TSettings& settings_;
    const KeyNoteTable& keyNotes_;

    int32_t transpose_ = 0;
    bool pedalDown_ = false;
    ModifierSet heldModifiers_;
    bool ctrlHeld_ = false;
    bool altHeld_ = false;
    bool winHeld_ = false;
    std::bitset<256> keysDown_;
    // The layout code each held key's down played: its up ends that, even when the key
    // comes up under another input language, or with no flags at all (ReconcileHeldKeys).
    std::array<uint8_t, 256> downLayoutKey_{};
    // Per key rather than per note code: two keys of one note code may start it in
    // different octaves, and a layout reloaded while a key is held must not change what
    // its release ends.
    std::array<int32_t, 256> ownedNotes_;
    bool sawEvent_ = false;
    uint32_t lastEventTime_ = 0;
    // While keys are mapped: the modifier key down with no other key pressed since, and its
    // entry; it is mapped when it comes up.
    static constexpr int64_t NoLoneModifier = -1;
    int64_t loneModifier_ = NoLoneModifier;
    int32_t loneEntry_ = 0;
};

} // namespace zevaver

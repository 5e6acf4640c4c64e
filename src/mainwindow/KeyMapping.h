// "Key names", "Edit keys" and "Save layout as...": the names drawn on the keys, the note
// picked for the next key mapped, the edits the engine makes while keys are mapped (the
// engine maps them, as it sees the keys first), the notice over the keyboard, and the
// layout saved under another name or reverted.
#pragma once

#include "engine/KeyEditing.h"
#include "engine/PlayingEngine.h"
#include "keyboard/KeyMarks.h"
#include "keyboard/KeyNames.h"
#include "keyboard/Keys.h"
#include "mainwindow/AppState.h"
#include "mainwindow/LayoutEditor.h"
#include "mainwindow/MainMenu.h"

#include <bitset>
#include <cstdint>
#include <functional>
#include <string>

namespace zevaver {

class AppHost;

class KeyMapping {
public:
    // engineChanged: the engine's news taken in, after a box whose own message loop may have
    // shown a newer view meanwhile.
    KeyMapping(AppHost& host, AppState& state, PlayingEngine& engine, LayoutFiles& layoutFiles,
               std::function<void()> engineChanged);

    // The keyboard the names are drawn on and the menu of the commands.
    void Attach(TKeys& keys, MainMenu& menu);
    // The start is setting up what the names depend on: they wait until it is all set, and
    // are worked out once then.
    void HoldNames(bool held);

    [[nodiscard]] bool Editing() const noexcept { return editing_; }
    // The note picked for the next key, or KeyEditing::NoPick.
    [[nodiscard]] int32_t PickedNote() const noexcept { return picked_; }
    [[nodiscard]] KeyMarks& Marks() noexcept { return marks_; }

    // The layout in the state, sent to the engine to play.
    void SendLayout();
    // The layout the settings name, read again and played.
    void ReloadLayout();
    // The names drawn on the keys, worked out again (what they depend on changed).
    void RefreshKeyNames();
    // A key of the on-screen keyboard was clicked: while editing, it is the note the next
    // computer key is mapped to.
    void NoteClicked(int32_t note);
    // The engine's pick, shown.
    void ShowPicked(int32_t note);
    // Keys typed into a menu or a dialog are no keys to map.
    void ClearPick();
    void EndEditing();
    void ApplyLayoutEdit(const play::LayoutEdit& edit);
    // A key of the focused window that mapping keys has taken (or is about to take) does
    // not also run a command.
    [[nodiscard]] bool KeyTakenByEditing(uint16_t key, ModifierSet shift);
    // A key of the focused window that the layout plays: it plays instead of running its
    // command (held Ctrl or Alt let no note play, so the command runs then).
    [[nodiscard]] bool KeyPlaysNote(uint16_t key, ModifierSet shift, uint32_t flags) const;
    // The popup menu is about to open.
    void MenuOpening();

    // The menu's commands.
    void ToggleKeyNames();
    void ToggleEditing();
    void SaveLayoutAs();
    void ToggleKeysByPosition();
    void RevertLayout();

private:
    void RepaintKeys();
    void Pick(int32_t note);
    void SetNotice(std::string notice);

    AppHost& host_;
    AppState& state_;
    PlayingEngine& engine_;
    LayoutFiles& layoutFiles_;
    std::function<void()> engineChanged_;
    TKeys* keys_ = nullptr;
    MainMenu* menu_ = nullptr;
    bool namesHeld_ = false;
    LayoutEditor editor_;
    KeyMarks marks_;
    bool editing_ = false;
    int32_t picked_ = KeyEditing::NoPick;
    // Layouts sent to the engine: an edit it made to an earlier one is stale.
    uint32_t layoutsSent_ = 0;
    // Keys the engine took while the main window was active, whose key message is to come.
    std::bitset<256> takenKeys_;
    bool askingLayoutName_ = false;
    // What the notice over the keyboard says: editing, a pick waiting for its key, or what
    // the last key mapped changed.
    enum class Notice : uint8_t { None, Editing, Picked, Changed };
    Notice notice_ = Notice::None;
};

} // namespace zevaver

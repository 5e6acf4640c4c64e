// The application core's part in "Key names", "Edit keys" and "Save layout as...": the
// names drawn on the keys, the picked key, the edits the engine makes while keys are
// mapped, and saving the layout under another name.
#include "mainwindow/AppCore.h"

#include "mainwindow/KeyNameTexts.h"

#include <utility>

namespace zevaver {

void AppCore::SendLayout() {
    ++layoutsSent_;
    engine_->Send(play::SetLayout{state_.KeyNotes});
}

void AppCore::RefreshKeyNames() {
    if (!keys_ || startingUp_) return;
    const TSettings& settings = state_.Settings;
    NoteTexts texts{};
    if (settings.KeyNames) {
        texts = KeyNameTexts(state_.KeyNotes, settings.BaseOctave, state_.Transpose,
                             settings.PedalKey, [this](int entry) { return host_.KeyName(entry); });
    }
    const bool shown = marks_.ShowsNames();
    marks_.SetTexts(std::move(texts));
    if (shown || marks_.ShowsNames()) RepaintKeys();
}

void AppCore::RepaintKeys() {
    if (keys_ && !state_.Minimized) keys_->Paint();
}

void AppCore::KeyboardLayoutChanged() {
    RefreshKeyNames();
}

void AppCore::Pick(int32_t note) {
    engine_->Send(play::PickNote{note});
    ShowPicked(note);
}

void AppCore::ShowPicked(int32_t note) {
    picked_ = editing_ ? note : KeyEditing::NoPick;
    const int shown = picked_ == KeyEditing::NoPick ? NoNote : picked_;
    if (marks_.Picked() == shown) return;
    marks_.SetPicked(shown);
    RepaintKeys();
}

// Keys typed into a menu or a dialog are no keys to map.
void AppCore::ClearPick() {
    if (picked_ != KeyEditing::NoPick) Pick(KeyEditing::NoPick);
}

// The Device submenu lists the outputs as they are now, and typing in the menu maps no key.
void AppCore::MenuOpening() {
    RefreshPorts();
    ClearPick();
}

void AppCore::EndEditing() {
    if (!editing_) return;
    menu_->CommandItem(KeyCommand::EditKeys).SetChecked(false);
    EditKeysClick(); // turns editing off
}

void AppCore::ApplyLayoutEdit(const play::LayoutEdit& edit) {
    // Made on a layout that another has replaced since: the file it belongs to is not the
    // current one, and the engine plays the new layout.
    if (edit.layout != layoutsSent_) return;
    if (edit.inMainWindow) takenKeys_.set(edit.key & 0xFFu);
    const std::string problem = editor_.Apply(edit);
    RefreshKeyNames();
    if (!problem.empty()) host_.ReportError(problem);
}

bool AppCore::KeyTakenByEditing(uint16_t key, ModifierSet shift) {
    if (!editing_) {
        takenKeys_.reset();
        return false;
    }
    if (key == vk::Escape) {
        EndEditing();
        return true;
    }
    if (key < takenKeys_.size() && takenKeys_[key]) {
        takenKeys_.reset(key);
        return true;
    }
    // Taken already, with the engine's word still on its way.
    return picked_ != KeyEditing::NoPick && !shift.Ctrl && !shift.Alt;
}

void AppCore::ShowTrayLook(bool inTray) {
    if (menu_) menu_->ShowTrayLook(inTray);
    // There is no keyboard to pick from in the tray.
    if (inTray) EndEditing();
}

// --- The menu's handlers. ---

void AppCore::KeyNamesClick() {
    state_.Settings.KeyNames = !state_.Settings.KeyNames;
    RefreshKeyNames();
}

void AppCore::EditKeysClick() {
    editing_ = !editing_;
    engine_->Send(play::EditKeys{editing_});
    if (!editing_) ShowPicked(KeyEditing::NoPick);
}

void AppCore::SaveLayoutAsClick() {
    // One dialog at a time: the settings dialog's list would not show the new layout, and
    // its OK would choose the old one again.
    if (state_.SettingsDialogOpen || askingLayoutName_) return;
    ClearPick();
    askingLayoutName_ = true;
    // Keys typed into the name play nothing, until the user has closed the box (hiding it
    // can take the platform a while).
    struct Asked {
        AppCore& core;
        explicit Asked(AppCore& c) : core(c) { core.engine_->Send(play::SetDialogOpen{true}); }
        ~Asked() {
            Dismissed();
            core.askingLayoutName_ = false;
            core.EngineChanged(); // what the boxes' own loops may have shown stays the newest
        }
        void Dismissed() {
            if (std::exchange(engineKnows, false)) core.engine_->Send(play::SetDialogOpen{false});
        }
        bool engineKnows = true;
    } asked{*this};
    std::string name = state_.Settings.Layout;
    for (;;) {
        const std::optional<std::string> answer = host_.AskLayoutName(name);
        if (!answer) return;
        name = TrimmedLayoutName(*answer);
        if (const std::string problem = LayoutNameProblem(name); !problem.empty()) {
            host_.ReportError(problem);
            continue;
        }
        if (editor_.WouldReplace(name) && !host_.AskReplaceLayout(name)) continue;
        break;
    }
    if (const std::string problem = editor_.SaveAs(name); !problem.empty())
        host_.ReportError(problem);
}

} // namespace zevaver

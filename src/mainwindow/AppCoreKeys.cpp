// The application core's part in "Key names", "Edit keys" and "Save layout as...": the
// names drawn on the keys, the picked key, the edits the engine makes while keys are
// mapped, and saving the layout under another name.
#include "mainwindow/AppCore.h"

#include "mainwindow/EditNotices.h"
#include "mainwindow/KeyNameTexts.h"

namespace zevaver {

void AppCore::SendLayout() {
    ++layoutsSent_;
    engine_->Send(play::SetLayout{state_.KeyNotes});
}

void AppCore::ReloadLayout() {
    (void)LoadLayout(state_.Settings, state_.KeyNotes, layoutFiles_);
    editor_.LayoutLoaded();
    SendLayout();
    RefreshKeyNames();
}

void AppCore::RefreshKeyNames() {
    if (!keys_ || startingUp_) return;
    const TSettings& settings = state_.Settings;
    NoteTexts texts{};
    if (settings.KeyNames) {
        texts =
            KeyNameTexts(state_.KeyNotes, settings.BaseOctave, state_.Transpose, settings.PedalKey,
                         [this, byPosition = settings.KeysByPosition](int entry) {
                             return host_.KeyName(entry, byPosition);
                         });
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
    if (picked_ != KeyEditing::NoPick) {
        notice_ = Notice::Picked;
        marks_.SetNotice(PickedNotice(picked_));
    } else if (notice_ == Notice::Picked) {
        // A pick let go of: what a mapped key changed stays in view until the next pick.
        notice_ = Notice::Editing;
        marks_.SetNotice(EditingNotice());
    }
    const int shown = picked_ == KeyEditing::NoPick ? NoNote : picked_;
    marks_.SetPicked(shown);
    RepaintKeys();
}

void AppCore::SetNotice(std::string notice) {
    if (notice == marks_.Notice()) return;
    marks_.SetNotice(std::move(notice));
    RepaintKeys();
}

bool AppCore::KeyPlaysNote(uint16_t key, ModifierSet shift, uint32_t flags) const {
    if (shift.Ctrl || shift.Alt) return false;
    const TSettings& settings = state_.Settings;
    const int64_t entry = LayoutKeyOf(key, flags, settings.KeysByPosition);
    return entry >= 0 && entry <= 255 && entry != settings.PedalKey &&
           state_.KeyNotes[static_cast<size_t>(entry)] != 0;
}

// Keys typed into a menu or a dialog are no keys to map.
void AppCore::ClearPick() {
    if (picked_ != KeyEditing::NoPick) Pick(KeyEditing::NoPick);
}

// The Device submenu lists the outputs as they are now, and typing in the menu maps no key.
void AppCore::MenuOpening() {
    RefreshPorts();
    ClearPick();
    menu_->CommandItem(KeyCommand::RevertLayout).SetEnabled(editor_.CanRevert());
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
    if (edit.kind == play::LayoutEdit::Kind::Mapped) {
        notice_ = Notice::Changed;
        const std::string name =
            KeyNameInWords(edit.entry, host_.KeyName(edit.entry, state_.Settings.KeysByPosition));
        SetNotice(MappedNotice(name, edit.note, edit.previous,
                               CommandKeyDuty(static_cast<uint16_t>(edit.entry))));
    } else if (edit.kind == play::LayoutEdit::Kind::Removed) {
        notice_ = Notice::Changed;
        SetNotice(RemovedNotice(edit.note));
    }
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
    notice_ = editing_ ? Notice::Editing : Notice::None;
    marks_.SetNotice(editing_ ? EditingNotice() : std::string());
    ShowPicked(KeyEditing::NoPick);
}

void AppCore::SaveLayoutAsClick() {
    // One dialog at a time: the settings dialog's list would not show the new layout, and
    // its OK would choose the old one again.
    if (state_.SettingsDialogOpen || askingLayoutName_) return;
    ClearPick();
    askingLayoutName_ = true;
    // Keys typed into the name (or the boxes after it) play nothing.
    struct Asked {
        AppCore& core;
        explicit Asked(AppCore& c) : core(c) { core.engine_->Send(play::SetDialogOpen{true}); }
        ~Asked() {
            core.engine_->Send(play::SetDialogOpen{false});
            core.askingLayoutName_ = false;
            core.EngineChanged(); // what the boxes' own loops may have shown stays the newest
        }
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

void AppCore::KeysByPositionClick() {
    state_.Settings.KeysByPosition = !state_.Settings.KeysByPosition;
    engine_->Send(play::SetKeysByPosition{state_.Settings.KeysByPosition});
    RefreshKeyNames();
}

void AppCore::RevertLayoutClick() {
    if (const std::string problem = editor_.Revert(); !problem.empty()) {
        host_.ReportError(problem);
        return;
    }
    ReloadLayout();
}

} // namespace zevaver

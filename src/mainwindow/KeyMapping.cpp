#include "mainwindow/KeyMapping.h"

#include "engine/CommandKeys.h"
#include "mainwindow/AppCore.h"
#include "mainwindow/EditNotices.h"
#include "mainwindow/KeyNameTexts.h"

#include <utility>

namespace zevaver {

KeyMapping::KeyMapping(AppHost& host, AppState& state, PlayingEngine& engine,
                       LayoutFiles& layoutFiles, std::function<void()> engineChanged)
    : host_(host), state_(state), engine_(engine), layoutFiles_(layoutFiles),
      engineChanged_(std::move(engineChanged)),
      editor_(state.Settings, state.KeyNotes, layoutFiles) {}

void KeyMapping::Attach(TKeys& keys, MainMenu& menu) {
    keys_ = &keys;
    menu_ = &menu;
    marks_.SetPainter(host_.LabelPainter());
    keys_->SetOverlay(&marks_);
}

void KeyMapping::HoldNames(bool held) {
    namesHeld_ = held;
    if (!held) RefreshKeyNames();
}

void KeyMapping::SendLayout() {
    ++layoutsSent_;
    engine_.Send(play::SetLayout{state_.KeyNotes});
}

void KeyMapping::ReloadLayout() {
    (void)LoadLayout(state_.Settings, state_.KeyNotes, layoutFiles_);
    editor_.LayoutLoaded();
    SendLayout();
    RefreshKeyNames();
}

void KeyMapping::RefreshKeyNames() {
    if (!keys_ || namesHeld_) return;
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

void KeyMapping::RepaintKeys() {
    if (keys_ && !state_.Minimized) keys_->Paint();
}

void KeyMapping::NoteClicked(int32_t note) {
    if (editing_) Pick(note);
}

void KeyMapping::Pick(int32_t note) {
    engine_.Send(play::PickNote{note});
    ShowPicked(note);
}

void KeyMapping::ShowPicked(int32_t note) {
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

void KeyMapping::SetNotice(std::string notice) {
    if (notice == marks_.Notice()) return;
    marks_.SetNotice(std::move(notice));
    RepaintKeys();
}

bool KeyMapping::KeyPlaysNote(uint16_t key, ModifierSet shift, uint32_t flags) const {
    if (shift.Ctrl || shift.Alt) return false;
    const TSettings& settings = state_.Settings;
    const int64_t entry = LayoutKeyOf(key, flags, settings.KeysByPosition);
    return entry >= 0 && entry <= 255 && entry != settings.PedalKey &&
           state_.KeyNotes[static_cast<size_t>(entry)] != 0;
}

void KeyMapping::ClearPick() {
    if (picked_ != KeyEditing::NoPick) Pick(KeyEditing::NoPick);
}

// Typing in the menu maps no key.
void KeyMapping::MenuOpening() {
    ClearPick();
    menu_->CommandItem(KeyCommand::RevertLayout).SetEnabled(editor_.CanRevert());
}

void KeyMapping::EndEditing() {
    if (!editing_) return;
    menu_->CommandItem(KeyCommand::EditKeys).SetChecked(false);
    ToggleEditing();
}

void KeyMapping::ApplyLayoutEdit(const play::LayoutEdit& edit) {
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

bool KeyMapping::KeyTakenByEditing(uint16_t key, ModifierSet shift) {
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

// --- The menu's handlers. ---

void KeyMapping::ToggleKeyNames() {
    state_.Settings.KeyNames = !state_.Settings.KeyNames;
    RefreshKeyNames();
}

void KeyMapping::ToggleEditing() {
    editing_ = !editing_;
    engine_.Send(play::EditKeys{editing_});
    notice_ = editing_ ? Notice::Editing : Notice::None;
    marks_.SetNotice(editing_ ? EditingNotice() : std::string());
    ShowPicked(KeyEditing::NoPick);
}

void KeyMapping::SaveLayoutAs() {
    // One dialog at a time: the settings dialog's list would not show the new layout, and
    // its OK would choose the old one again.
    if (state_.SettingsDialogOpen || askingLayoutName_) return;
    ClearPick();
    askingLayoutName_ = true;
    // Keys typed into the name (or the boxes after it) play nothing.
    struct Asked {
        KeyMapping& mapping;
        explicit Asked(KeyMapping& m) : mapping(m) {
            mapping.engine_.Send(play::SetDialogOpen{true});
        }
        ~Asked() {
            mapping.engine_.Send(play::SetDialogOpen{false});
            mapping.askingLayoutName_ = false;
            mapping.engineChanged_(); // what the boxes' own loops may have shown stays the newest
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

void KeyMapping::ToggleKeysByPosition() {
    state_.Settings.KeysByPosition = !state_.Settings.KeysByPosition;
    engine_.Send(play::SetKeysByPosition{state_.Settings.KeysByPosition});
    RefreshKeyNames();
}

void KeyMapping::RevertLayout() {
    if (const std::string problem = editor_.Revert(); !problem.empty()) {
        host_.ReportError(problem);
        return;
    }
    ReloadLayout();
}

} // namespace zevaver

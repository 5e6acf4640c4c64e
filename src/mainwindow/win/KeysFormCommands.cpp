// The main window's commands: the popup menu's handlers and what the key player asks of
// the window.
#include "mainwindow/win/KeysForm.h"

#include "framework/win/Application.h"
#include "mainwindow/AppState.h"
#include "mainwindow/win/Tools.h"

void TKeysForm::SelectDevice(int32_t id) {
    ::Settings.Device = id < deviceCount_ ? id : 0;
    midiKeys_->SetMIDIDevice(::Settings.Device);
    midiKeys_->OpenPort();
    if (!midiKeys_->MIDIPortOk()) ShowError("Selected MIDI port could't be opened.");
    menu_->CheckDevice(::Settings.Device);
}

void TKeysForm::SelectChannel(int32_t channel) {
    ::Settings.Channel = (channel >= 1 && channel <= 16) ? channel : 1;
    midiKeys_->SetMIDIChannel(::Settings.Channel);
    menu_->CheckChannel(::Settings.Channel);
}

void TKeysForm::SetPedalKey(int32_t key) {
    ::Settings.PedalKey = key;
    menu_->CheckPedalKey(key);
}

void TKeysForm::PopupAtCursor() {
    POINT cursor{};
    GetCursorPos(&cursor);
    (void)popup_.Show(menu_->Root(), Handle(), cursor);
}

// --- What the key player asks of the window. ---

void TKeysForm::PressNote(int32_t note, int32_t velocity) {
    midiKeys_->PressNote(note, velocity);
}
void TKeysForm::ReleaseNote(int32_t note) {
    midiKeys_->ReleaseNote(note);
}
bool TKeysForm::IsNoteSounding(int32_t note) {
    return midiKeys_->IsNoteSounding(note);
}
void TKeysForm::ReleaseAllNotes() {
    midiKeys_->ReleaseAllNotes();
}
void TKeysForm::ClickCommand(KeyCommand command) {
    menu_->Click(command);
}
void TKeysForm::SetPushChecked(bool checked) {
    menu_->SetPushChecked(checked);
}
void TKeysForm::CheckTransposeItem(int32_t value) {
    menu_->CheckTranspose(value);
}

// The system's active window: a thread may still remember its own window as active while
// another program is in front.
bool TKeysForm::IsMainWindowActive() {
    return Handle() != nullptr && GetForegroundWindow() == Handle();
}

bool TKeysForm::IsSettingsDialogOpen() {
    return false; // the settings dialog comes later
}

// --- The popup menu's handlers. ---

void TKeysForm::DeviceClick(int32_t id) {
    SelectDevice(id);
}
void TKeysForm::ChannelClick(int32_t channel) {
    SelectChannel(channel);
}

void TKeysForm::BaseOctaveClick(int32_t baseOctave) {
    ::Settings.BaseOctave = baseOctave;
    midiKeys_->SetBaseOctave(4 + baseOctave / 12);
}

void TKeysForm::TransposeClick(int32_t value) {
    player_.SetTranspose(value);
}
void TKeysForm::PushClick() {
    player_.TogglePedalLatch();
}
void TKeysForm::PedalKeyClick(int32_t key) {
    SetPedalKey(key);
}

void TKeysForm::SkinClick(fw::MenuItem&) {
    // Skins come later.
}

void TKeysForm::ZoomInClick() {
    ::Settings.NoteWidth = ZoomedIn(::Settings.NoteWidth);
    midiKeys_->SetNoteWidth(::Settings.NoteWidth);
}

void TKeysForm::ZoomOutClick() {
    ::Settings.NoteWidth = ZoomedOut(::Settings.NoteWidth);
    midiKeys_->SetNoteWidth(::Settings.NoteWidth);
}

void TKeysForm::VerticalClick() {
    RECT bounds{};
    GetWindowRect(Handle(), &bounds);
    ::Settings.Vertical = !::Settings.Vertical;
    ApplyOrientation();
    // Turning swaps the outer width and height.
    SetWindowPos(Handle(), nullptr, 0, 0, bounds.bottom - bounds.top, bounds.right - bounds.left,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    FormResize();
    InvalidateRect(Handle(), nullptr, FALSE);
}

void TKeysForm::SettingsClick() {
    // The shortcuts dialog comes later.
}

void TKeysForm::EnabledClick() {
    SetEnabledState(!::Settings.Enabled);
    tray_->Icons().EnabledChanged();
}

void TKeysForm::MinimizeClick() {
    if (::Minimized)
        RestoreFromTray();
    else
        MinimizeApplication();
}

void TKeysForm::CloseClick() {
    PostMessageA(Handle(), WM_CLOSE, 0, 0);
}

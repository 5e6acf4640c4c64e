#include "mainwindow/AppCore.h"

namespace zevaver {

std::optional<KeyCommand> BaseOctaveCommand(int32_t baseOctave) noexcept {
    return CommandForBaseOctave(baseOctave);
}

int KeyboardOctave(int32_t baseOctave) noexcept {
    return 4 + baseOctave / 12;
}

int32_t ClampedDevice(int32_t id, int deviceCount) noexcept {
    return id < deviceCount ? id : 0;
}

int32_t ClampedChannel(int32_t channel) noexcept {
    return (channel >= 1 && channel <= 16) ? channel : 1;
}

WindowRect TurnedBounds(const WindowRect& bounds) noexcept {
    return {bounds.left, bounds.top, bounds.height, bounds.width};
}

AppCore::AppCore(AppHost& host, MidiOut& midi, SettingsRegistry& registry,
                 std::string settingsKeyPath, LayoutFiles* layoutFiles)
    : host_(host), midi_(midi), registry_(registry), settingsKeyPath_(std::move(settingsKeyPath)),
      ownLayoutFiles_(layoutFiles ? nullptr : std::make_unique<StandardLayoutFiles>()),
      layoutFiles_(layoutFiles ? layoutFiles : ownLayoutFiles_.get()),
      player_(static_cast<KeyPlayerHost&>(*this), state_.Settings, state_.KeyNotes) {}

AppCore::~AppCore() = default;

void AppCore::Start() {
    TSettings& settings = state_.Settings;
    // The settings come first: the layout, the keyboard and the placement read them.
    LoadSettings(
        settings, registry_, host_.PrimaryScreen(),
        [this](const std::string& message) { host_.ReportError(message); }, settingsKeyPath_);
    host_.SetFaderPosition(settings.Velocity);
    // Failures are silent: the table then holds what could be read.
    (void)LoadLayout(settings, state_.KeyNotes, *layoutFiles_);

    // The menu exists before the skin, which fills its Skin submenu; the skin comes before
    // the keyboard, which paints with its colours and proportions.
    deviceCount_ = static_cast<int>(midi_.DeviceCount());
    BuildMenus();
    if (SkinShell* shell = host_.Skins()) {
        skin_ = std::make_unique<TSkin>(settings, state_.SkinConfig, state_.Minimized, *shell);
        // The trackbar always holds the velocity; the skinned fader only moves it.
        skin_->Chrome().Fader.OnChange = [this](int position) { host_.SetFaderPosition(position); };
        skin_->LoadSkin();
        skin_->BuildSkinMenu(*menu_);
        ApplySkin();
    }

    midiKeys_ =
        std::make_unique<TMIDIKeys>(static_cast<KeysHost&>(*this), state_.SkinConfig, midi_);
    midiKeys_->Blink = [this] { Blink(); };
    midiKeys_->SetBaseOctave(2);
    midiKeys_->SetNoteWidth(settings.NoteWidth);
    ApplyOrientation();
    PlaceWindow();

    menu_->Item("mnuVertical").SetChecked(settings.Vertical);
    menu_->Item("mnuEnabled").SetChecked(settings.Enabled);
    if (auto command = BaseOctaveCommand(settings.BaseOctave)) menu_->Click(*command);
    SetPedalKey(settings.PedalKey);
    SetEnabledState(settings.Enabled);
    icons_.SetIcon(state_.IconName);
    SelectDevice(settings.Device);
    SelectChannel(settings.Channel);
}

void AppCore::BuildMenus() {
    std::vector<std::string> names;
    for (int id = -1; id < deviceCount_; ++id) {
        std::string name;
        if (midi_.DeviceName(id, name) != MidiOut::NoError)
            name = "MIDI output " + std::to_string(id);
        names.push_back(name);
    }
    menu_ = std::make_unique<MainMenu>(static_cast<MainMenuActions&>(*this), names);
}

void AppCore::PlaceWindow() {
    TSettings& settings = state_.Settings;
    // A stored size may be anything, a missing value reads as 0.
    const WindowRect size = AtLeastMinimumSize({0, 0, settings.Width, settings.Height});
    settings.Width = size.width;
    settings.Height = size.height;
    const ScreenSize screen = host_.PrimaryScreen();
    const Placement place =
        CorrectPlacement(settings.Left, settings.Top, settings.Width, settings.Height,
                         {screen.Width, screen.Height}, host_.Monitors());
    settings.Left = place.left;
    settings.Top = place.top;
    host_.SetWindowBounds({settings.Left, settings.Top, settings.Width, settings.Height});
    Resized(host_.ClientArea());
}

void AppCore::ApplyOrientation() {
    midiKeys_->SetOrientation(state_.Settings.Vertical ? TKeyboardOrientation::Vertical
                                                       : TKeyboardOrientation::Horizontal);
    // The fader runs across the top of a vertical keyboard.
    if (skin_) skin_->Chrome().Fader.IsVertical = !state_.Settings.Vertical;
}

// A shown skinned fader starts at the trackbar's value.
void AppCore::ApplySkin() {
    skin_->ApplySkin(menu_->Item("mnuSkin"));
    TFader& fader = skin_->Chrome().Fader;
    if (fader.Shown) fader.SetFaderValue(host_.FaderPosition());
}

bool AppCore::KeyboardTakesPointer(int x, int y) const noexcept {
    return midiKeys_ && (midiKeys_->HoldsMouse() || OverKeys(x, y));
}

bool AppCore::OverKeys(int x, int y) const noexcept {
    int kx = 0, ky = 0;
    return midiKeys_ && KeysPoint(x, y, kx, ky);
}

void AppCore::Resized(ClientSize client) {
    if (!midiKeys_ || (skin_ && skin_->ApplyingSkin())) return;
    const bool vertical = state_.Settings.Vertical;
    const TSkinConfig& skin = state_.SkinConfig;
    frame_ = {skin.WindowsStyle, skin.BorderSize, skin.TitleHeight, skin.FaderWidth};
    if (skin_) skin_->Layout(client.width, client.height, vertical);
    const WindowRect keys = KeyboardRect(frame_, client, vertical);
    midiKeys_->SetBounds(keys.left, keys.top, keys.width, keys.height);
    host_.PlaceFader(TrackbarRect(frame_, client, vertical), vertical);
}

void AppCore::Stop() {
    if (!midiKeys_ || stopped_) return;
    stopped_ = true;
    icons_.WindowDestroyed();
    TSettings& settings = state_.Settings;
    const WindowRect bounds = host_.WindowBounds();
    settings.Width = bounds.width;
    settings.Height = bounds.height;
    settings.Top = bounds.top;
    settings.Left = bounds.left;
    settings.Velocity = host_.FaderPosition();
    // A failure has been reported already; shutdown goes on regardless.
    (void)SaveSettings(
        settings, registry_, [this](const std::string& message) { host_.ReportError(message); },
        settingsKeyPath_);
}

void AppCore::Paint() {
    if (state_.Minimized || !midiKeys_) return;
    if (!skin_) {
        midiKeys_->Paint();
        return;
    }
    skin_->BeginFrame();
    skin_->PaintChrome();
    midiKeys_->Paint();
    skin_->EndFrame();
}

void AppCore::Present(int left, int top, int width, int height) {
    if (skin_)
        skin_->Present({left, top, left + width, top + height});
    else
        host_.Present(left, top, width, height);
}

bool AppCore::KeysPoint(int x, int y, int& kx, int& ky) const noexcept {
    kx = x - midiKeys_->Left();
    ky = y - midiKeys_->Top();
    return kx >= 0 && ky >= 0 && kx < midiKeys_->Width() && ky < midiKeys_->Height();
}

void AppCore::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
    if (!midiKeys_) return;
    int kx = 0, ky = 0;
    if (!KeysPoint(x, y, kx, ky)) return;
    midiKeys_->KeysMouseDown(button, shift, kx, ky);
}

void AppCore::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
    if (!midiKeys_ || !midiKeys_->HoldsButton(button)) return;
    int kx = 0, ky = 0;
    (void)KeysPoint(x, y, kx, ky);
    midiKeys_->KeysMouseUp(button, shift, kx, ky);
}

void AppCore::MouseCaptureLost() {
    if (midiKeys_) midiKeys_->KeysCaptureLost();
}

void AppCore::MouseMove(TShiftState shift, int x, int y) {
    if (!midiKeys_) return;
    int kx = 0, ky = 0;
    if (KeysPoint(x, y, kx, ky) || midiKeys_->HoldsMouse()) midiKeys_->KeysMouseMove(shift, kx, ky);
}

bool AppCore::KeyDown(uint16_t key, ModifierSet shift) {
    player_.FormKeyDown(key, shift);
    return key == 0;
}

void AppCore::KeyWatched(int32_t wParam, int32_t lParam) {
    player_.KeyWatchKeyNative(wParam, static_cast<uint32_t>(lParam));
}

void AppCore::DesktopSwitched() {
    player_.ReconcileHeldKeys();
}

void AppCore::SessionEnding() {
    Stop();
    if (midiKeys_) midiKeys_->ResetPort();
}

void AppCore::Timer(int id) {
    if (id == BlinkTimerId) icons_.BlinkTimerTimer();
}

void AppCore::Blink() {
    icons_.Blink();
}

// The skin's icon box shows the blink from the icon rules; it is drawn only while the
// window is on screen, and a bitmap skin's (a windows-style skin shows none).
void AppCore::IconBoxChanged() {
    if (!skin_) return;
    skin_->Chrome().IconBox.Blinking = icons_.IconBoxBlinking();
    if (!state_.Minimized) skin_->RepaintIcon();
}

void AppCore::SetBlinkTimer(bool running) {
    if (running)
        host_.StartTimer(BlinkTimerId, TrayIcons::BlinkInterval);
    else
        host_.StopTimer(BlinkTimerId);
}

// A start in the tray ("/M") counts as minimised too, so the first restore ends the tray
// state completely: icon removed, caption and menu back, key presses drawn again.
void AppCore::RestoreFromTray() {
    icons_.Restore();
    host_.BringToFront();
}

void AppCore::ShowPopup() {
    host_.ShowPopup(menu_->Root());
}

void AppCore::SelectDevice(int32_t id) {
    TSettings& settings = state_.Settings;
    settings.Device = ClampedDevice(id, deviceCount_);
    midiKeys_->SetMIDIDevice(settings.Device);
    midiKeys_->OpenPort();
    if (!midiKeys_->MIDIPortOk()) host_.ReportError(PortFailedText);
    menu_->CheckDevice(settings.Device);
}

void AppCore::SelectChannel(int32_t channel) {
    state_.Settings.Channel = ClampedChannel(channel);
    midiKeys_->SetMIDIChannel(state_.Settings.Channel);
    menu_->CheckChannel(state_.Settings.Channel);
}

void AppCore::SetPedalKey(int32_t key) {
    player_.PedalKeyChanging();
    state_.Settings.PedalKey = key;
    menu_->CheckPedalKey(key);
}

void AppCore::SetEnabledState(bool value) {
    state_.Settings.Enabled = value;
    state_.IconName = IdleIconName(value);
}

// --- What the key player asks. ---

void AppCore::PressNote(int32_t note, int32_t velocity) {
    midiKeys_->PressNote(note, velocity);
}
void AppCore::ReleaseNote(int32_t note) {
    midiKeys_->ReleaseNote(note);
}
bool AppCore::IsNoteSounding(int32_t note) {
    return midiKeys_->IsNoteSounding(note);
}
void AppCore::ReleaseAllNotes() {
    midiKeys_->ReleaseAllNotes();
}
void AppCore::ClickCommand(KeyCommand command) {
    menu_->Click(command);
}
void AppCore::SetPushChecked(bool checked) {
    menu_->SetPushChecked(checked);
}
void AppCore::CheckTransposeItem(int32_t value) {
    menu_->CheckTranspose(value);
}
bool AppCore::IsMainWindowActive() {
    return host_.IsActive();
}
bool AppCore::IsSettingsDialogOpen() {
    return state_.SettingsDialogOpen;
}
int32_t AppCore::VelocityPosition() {
    return host_.FaderPosition();
}

// --- The menu's handlers. ---

void AppCore::DeviceClick(int32_t id) {
    SelectDevice(id);
}
void AppCore::ChannelClick(int32_t channel) {
    SelectChannel(channel);
}

void AppCore::BaseOctaveClick(int32_t baseOctave) {
    state_.Settings.BaseOctave = baseOctave;
    midiKeys_->SetBaseOctave(KeyboardOctave(baseOctave));
}

void AppCore::TransposeClick(int32_t value) {
    player_.SetTranspose(value);
}
void AppCore::PushClick() {
    player_.TogglePedalLatch();
}
void AppCore::PedalKeyClick(int32_t key) {
    SetPedalKey(key);
}

void AppCore::SkinClick(fw::MenuItem& item) {
    // The hint holds the folder's exact name; the caption may carry an accelerator mark.
    state_.Settings.Skin = item.Hint();
    if (!skin_) return;
    skin_->LoadSkin();
    ApplySkin();
    Resized(host_.ClientArea());
    // Always repainted: even between two windows-style skins the key colours change.
    host_.Invalidate();
}

void AppCore::ZoomInClick() {
    state_.Settings.NoteWidth = ZoomedIn(state_.Settings.NoteWidth);
    midiKeys_->SetNoteWidth(state_.Settings.NoteWidth);
}

void AppCore::ZoomOutClick() {
    state_.Settings.NoteWidth = ZoomedOut(state_.Settings.NoteWidth);
    midiKeys_->SetNoteWidth(state_.Settings.NoteWidth);
}

void AppCore::VerticalClick() {
    const WindowRect bounds = host_.WindowBounds();
    state_.Settings.Vertical = !state_.Settings.Vertical;
    ApplyOrientation();
    host_.SetWindowBounds(AtLeastMinimumSize(TurnedBounds(bounds)));
    Resized(host_.ClientArea());
    host_.Invalidate();
}

void AppCore::SettingsClick() {
    // One dialog at a time; the flag stays set for exactly as long as the dialog exists,
    // whatever way its showing ends.
    if (state_.SettingsDialogOpen) return;
    struct OpenFlag {
        bool& open;
        explicit OpenFlag(bool& flag) : open(flag) { open = true; }
        ~OpenFlag() { open = false; }
    } flag(state_.SettingsDialogOpen);
    host_.ShowSettingsDialog(state_.Settings, [this] {
        (void)LoadLayout(state_.Settings, state_.KeyNotes, *layoutFiles_);
    });
    host_.Invalidate();
}

void AppCore::EnabledClick() {
    SetEnabledState(!state_.Settings.Enabled);
    icons_.EnabledChanged();
}

void AppCore::MinimizeClick() {
    if (state_.Minimized)
        RestoreFromTray();
    else
        icons_.Minimize();
}

void AppCore::CloseClick() {
    host_.CloseWindow();
}

} // namespace zevaver

#include "mainwindow/AppCore.h"

#include "engine/CommandKeys.h"

#include <utility>

namespace zevaver {

std::optional<KeyCommand> BaseOctaveCommand(int32_t baseOctave) noexcept {
    return CommandForBaseOctave(baseOctave);
}

int KeyboardOctave(int32_t baseOctave) noexcept {
    return 4 + baseOctave / 12;
}

std::string DroppedProblemsText(uint32_t count) {
    return std::to_string(count) + (count == 1 ? " more error was" : " more errors were") +
           " not shown, as too many came at once.";
}

int32_t ClampedChannel(int32_t channel) noexcept {
    return (channel >= 1 && channel <= 16) ? channel : 1;
}

class AppCore::SameThreadEngine final : public EngineHost {
public:
    explicit SameThreadEngine(AppCore& core) noexcept : core_(core) {}
    bool WakeEngine() noexcept override {
        if (core_.engine_) core_.engine_->ProcessCommands();
        return true;
    }
    bool WakeWindow() noexcept override {
        core_.EngineChanged();
        return true;
    }
    bool IsMainWindowActive() override { return core_.host_.IsActive(); }
    bool IsKeyDown(int32_t key) override { return core_.host_.IsKeyDown(key); }
    uint32_t EventTime() override { return core_.host_.EventTime(); }

private:
    AppCore& core_;
};

AppCore::AppCore(AppHost& host, MidiOut& midi, SettingsRegistry& registry, LayoutFiles& layoutFiles,
                 std::string settingsKeyPath, EngineHost* engineHost)
    : host_(host), midi_(midi), registry_(registry), settingsKeyPath_(std::move(settingsKeyPath)),
      layoutFiles_(layoutFiles),
      sameThread_(engineHost ? nullptr : std::make_unique<SameThreadEngine>(*this)),
      engine_(std::make_unique<PlayingEngine>(engineHost ? *engineHost : *sameThread_, midi_)),
      ports_(host_, midi_, *engine_, state_.Settings, [this] { ShowView(); }),
      mapping_(host_, state_, *engine_, layoutFiles_, [this] { EngineChanged(); }) {}

AppCore::~AppCore() = default;

void AppCore::Start() {
    TSettings& settings = state_.Settings;
    // A first run reads no settings: the factory size, at 96 DPI, is centred at the scale
    // of the screen the window starts on, and stored at that scale.
    const fw::DpiScale start(host_.WindowDpi());
    settings.Width = start.Px(settings.Width);
    settings.Height = start.Px(settings.Height);
    settings.Dpi = start.Dpi();
    // The settings come first: the layout, the keyboard and the placement read them.
    LoadSettings(
        settings, registry_, host_.PrimaryScreen(),
        [this](const std::string& message) { host_.ReportError(message); }, settingsKeyPath_);
    // Everything is laid out and drawn at the scale of the screen the window goes to.
    const StoredWindow stored = StoredBounds(settings, start.Dpi());
    layout_.StartAt(fw::DpiScale(host_.DpiAt(AtDpi(stored, start.Dpi()))));
    SetFader(settings.Velocity);
    // Failures are silent: the table then holds what could be read.
    (void)LoadLayout(settings, state_.KeyNotes, layoutFiles_);
    mapping_.SendLayout();
    engine_->Send(play::SetShortcuts{settings.Shortcuts});
    engine_->Send(play::SetKeysByPosition{settings.KeysByPosition});

    // The menu exists before the skin, which fills its Skin submenu; the skin comes before
    // the keyboard, which paints with its colours and proportions.
    BuildMenus();
    if (SkinShell* shell = host_.Skins()) {
        skin_ = std::make_unique<TSkin>(settings, state_.SkinConfig, state_.Minimized, *shell);
        skin_->SetScale(layout_.Scale());
        // The trackbar always holds the velocity; the skinned fader only moves it.
        skin_->Chrome().Fader.OnChange = [this](int position) { SetFader(position); };
        skin_->LoadSkin();
        skin_->BuildSkinMenu(*menu_);
        ApplySkin();
    } else {
        state_.SkinConfig = ScaledConfig(TSkinConfig{}, layout_.Scale());
    }

    keys_ = std::make_unique<TKeys>(static_cast<KeysHost&>(*this), state_.SkinConfig);
    // The mouse plays where the computer keys play, so the two meet in one place.
    keys_->OnNoteOn = [this](TKeys&, int note, int velocity) {
        engine_->Send(play::MousePress{note, velocity});
        // While editing, the key clicked is the one the next computer key is mapped to.
        mapping_.NoteClicked(note);
    };
    mapping_.Attach(*keys_, *menu_);
    keys_->OnNoteOff = [this](TKeys&, int note, int) { engine_->Send(play::MouseRelease{note}); };
    keys_->SetBaseOctave(2);
    keys_->SetNoteWidth(settings.NoteWidth);
    layout_.Attach(*keys_, skin_.get());
    layout_.ApplyOrientation();
    layout_.PlaceWindow(AtDpi(stored, layout_.Scale().Dpi()));

    menu_->Item("mnuVertical").SetChecked(settings.Vertical);
    menu_->Item("mnuEnabled").SetChecked(settings.Enabled);
    menu_->Item("mnuKeyNames").SetChecked(settings.KeyNames);
    menu_->CommandItem(KeyCommand::KeysByPosition).SetChecked(settings.KeysByPosition);
    // The names are worked out once, below, when all they depend on is in place.
    mapping_.HoldNames(true);
    if (auto command = BaseOctaveCommand(settings.BaseOctave))
        menu_->Click(*command);
    else // any other value stays in force for the computer keys
        engine_->Send(play::SetBaseOctave{settings.BaseOctave});
    SetPedalKey(settings.PedalKey);
    SetEnabledState(settings.Enabled);
    engine_->Send(play::SetEnabled{settings.Enabled});
    icons_.SetIcon(state_.IconName);
    ports_.Start();
    SelectChannel(settings.Channel);
    mapping_.HoldNames(false);
    EngineChanged();
}

void AppCore::BuildMenus() {
    menu_ =
        std::make_unique<MainMenu>(static_cast<MainMenuActions&>(*this), ports_.Read().Captions());
    ports_.ListIn(*menu_);
}

void AppCore::DpiChanged(int dpi, const WindowRect& suggested, ScreenPoint pointer) {
    if (!layout_.DpiChanged(dpi, suggested, pointer)) return;
    // The window's icons at the sizes of the new scale.
    if (!icons_.WindowIcon().empty()) host_.SetWindowIcon(icons_.WindowIcon());
}

// A shown skinned fader starts at the trackbar's value.
void AppCore::ApplySkin() {
    skin_->ApplySkin(menu_->Item("mnuSkin"));
    TFader& fader = skin_->Chrome().Fader;
    if (fader.Shown) fader.SetFaderValue(host_.FaderPosition());
}

bool AppCore::KeyboardTakesPointer(int x, int y) const noexcept {
    return keys_ && (keys_->HoldsMouse() || OverKeys(x, y));
}

bool AppCore::OverKeys(int x, int y) const noexcept {
    int kx = 0, ky = 0;
    return keys_ && KeysPoint(x, y, kx, ky);
}

void AppCore::Stop() {
    if (!keys_ || stopped_) return;
    stopped_ = true;
    ports_.Stop();
    // What shortcuts changed last is kept too.
    EngineChanged();
    icons_.WindowDestroyed();
    layout_.KeepBounds();
    TSettings& settings = state_.Settings;
    settings.Velocity = host_.FaderPosition();
    // A failure has been reported already; shutdown goes on regardless.
    (void)SaveSettings(
        settings, registry_, [this](const std::string& message) { host_.ReportError(message); },
        settingsKeyPath_);
}

void AppCore::Paint(const fw::PixelRect& area) {
    if (state_.Minimized || !keys_) return;
    if (!skin_) {
        keys_->PaintArea(area);
        return;
    }
    skin_->BeginFrame(area);
    skin_->PaintChrome();
    keys_->PaintArea(area);
    skin_->EndFrame();
}

void AppCore::Present(int left, int top, int width, int height) {
    if (skin_)
        skin_->Present({left, top, left + width, top + height});
    else
        host_.Present(left, top, width, height);
}

bool AppCore::KeysPoint(int x, int y, int& kx, int& ky) const noexcept {
    kx = x - keys_->Left();
    ky = y - keys_->Top();
    return kx >= 0 && ky >= 0 && kx < keys_->Width() && ky < keys_->Height();
}

void AppCore::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
    if (!keys_) return;
    int kx = 0, ky = 0;
    if (!KeysPoint(x, y, kx, ky)) return;
    keys_->KeysMouseDown(button, shift, kx, ky);
}

void AppCore::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
    if (!keys_ || !keys_->HoldsButton(button)) return;
    int kx = 0, ky = 0;
    (void)KeysPoint(x, y, kx, ky);
    keys_->KeysMouseUp(button, shift, kx, ky);
}

void AppCore::MouseCaptureLost() {
    if (keys_) keys_->KeysCaptureLost();
}

void AppCore::MouseMove(TShiftState shift, int x, int y) {
    if (!keys_) return;
    int kx = 0, ky = 0;
    if (KeysPoint(x, y, kx, ky) || keys_->HoldsMouse()) keys_->KeysMouseMove(shift, kx, ky);
}

bool AppCore::KeyDown(uint16_t key, ModifierSet shift, uint32_t flags) {
    if (mapping_.KeyTakenByEditing(key, shift)) return true;
    const CommandKeyAction action = CommandKeyDown(key, shift, state_.Transpose);
    if ((action.transpose || action.command) && mapping_.KeyPlaysNote(key, shift, flags))
        return true;
    if (action.transpose) SetTranspose(*action.transpose);
    // Command keys click their item and still reach the window.
    if (action.command) menu_->Click(*action.command);
    return action.consumed;
}

void AppCore::KeyWatched(int32_t wParam, int32_t lParam) {
    engine_->KeyWatched(wParam, lParam);
}

void AppCore::SessionEnding() {
    Stop();
    engine_->ResetPort();
}

void AppCore::FaderMoved(int32_t position) noexcept {
    engine_->SetVelocityPosition(position);
}

void AppCore::SetFader(int32_t position) {
    host_.SetFaderPosition(position);
    FaderMoved(position);
}

// Boxes come last, and the view is read again after each: a box's own message loop may
// have shown a newer view meanwhile, which an older one must not replace.
void AppCore::EngineChanged() {
    ShowView();
    ports_.EngineChanged();
    play::Problem problem;
    while (engine_->TakeProblem(problem)) {
        host_.ReportError(problem.text.data());
        ShowView();
    }
    if (const uint32_t dropped = engine_->TakeDroppedProblems()) {
        host_.ReportError(DroppedProblemsText(dropped));
        ShowView();
    }
}

void AppCore::ShowView() {
    // The view first: reading it asks for the next wake-up, so nothing published meanwhile
    // is missed.
    const play::View view = engine_->View();
    if (!keys_) return;
    play::LayoutEdit edit;
    while (engine_->TakeLayoutEdit(edit)) mapping_.ApplyLayoutEdit(edit);
    keys_->ShowNotes(view.down);
    if (view.blinks != seenBlinks_) {
        seenBlinks_ = view.blinks;
        icons_.Blink();
    }
    menu_->SetPushChecked(view.pushChecked);
    // A shortcut's change is taken over once the engine has applied what this side sent;
    // before that, the view may predate a change made here.
    if (view.applied != engine_->Sent()) return;
    if (view.picked != mapping_.PickedNote()) mapping_.ShowPicked(view.picked);
    if (view.enabled != state_.Settings.Enabled) ShowEnabled(view.enabled);
    if (view.baseOctave != state_.Settings.BaseOctave) ShowBaseOctave(view.baseOctave);
}

// What a click on "&Enabled" shows, without telling the engine what it already knows.
void AppCore::ShowEnabled(bool enabled) {
    menu_->Item("mnuEnabled").SetChecked(enabled);
    SetEnabledState(enabled);
    icons_.EnabledChanged();
}

void AppCore::ShowBaseOctave(int32_t baseOctave) {
    state_.Settings.BaseOctave = baseOctave;
    keys_->SetBaseOctave(KeyboardOctave(baseOctave));
    if (auto command = BaseOctaveCommand(baseOctave)) menu_->CommandItem(*command).SetChecked(true);
    mapping_.RefreshKeyNames();
}

void AppCore::Timer(int id) {
    if (id == BlinkTimerId) icons_.BlinkTimerTimer();
    if (id == PortsTimerId) ports_.SecondLook();
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

// The Device submenu lists the outputs as they are when it opens.
void AppCore::ShowPopup() {
    MenuOpening();
    host_.ShowPopup(menu_->Root());
    EngineChanged(); // what the menu's own loop may have shown stays the newest
}

void AppCore::SelectChannel(int32_t channel) {
    state_.Settings.Channel = ClampedChannel(channel);
    engine_->Send(play::SetChannel{state_.Settings.Channel});
    menu_->CheckChannel(state_.Settings.Channel);
}

void AppCore::SetPedalKey(int32_t key) {
    state_.Settings.PedalKey = key;
    engine_->Send(play::SetPedalKey{key});
    menu_->CheckPedalKey(key);
    mapping_.RefreshKeyNames();
}

void AppCore::SetTranspose(int32_t value) {
    state_.Transpose = value;
    engine_->Send(play::SetTranspose{value});
    menu_->CheckTranspose(value);
    mapping_.RefreshKeyNames();
}

void AppCore::SetEnabledState(bool value) {
    state_.Settings.Enabled = value;
    state_.IconName = IdleIconName(value);
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
    keys_->SetBaseOctave(KeyboardOctave(baseOctave));
    engine_->Send(play::SetBaseOctave{baseOctave});
    mapping_.RefreshKeyNames();
}

void AppCore::TransposeClick(int32_t value) {
    SetTranspose(value);
}
// The check mark follows the engine's pedal.
void AppCore::PushClick() {
    engine_->Send(play::TogglePedal{});
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
    layout_.Resized(host_.ClientArea());
    // Always repainted: even between two windows-style skins the key colours change.
    host_.Invalidate();
}

void AppCore::ZoomInClick() {
    state_.Settings.NoteWidth = ZoomedIn(state_.Settings.NoteWidth);
    keys_->SetNoteWidth(state_.Settings.NoteWidth);
}

void AppCore::ZoomOutClick() {
    state_.Settings.NoteWidth = ZoomedOut(state_.Settings.NoteWidth);
    keys_->SetNoteWidth(state_.Settings.NoteWidth);
}

void AppCore::VerticalClick() {
    layout_.Turn();
}

void AppCore::SettingsClick() {
    // One dialog at a time; the flag stays set for exactly as long as the dialog exists,
    // whatever way its showing ends, and the engine knows it before any key that follows.
    if (state_.SettingsDialogOpen) return;
    mapping_.ClearPick();
    struct OpenFlag {
        AppCore& core;
        explicit OpenFlag(AppCore& c) : core(c) {
            core.state_.SettingsDialogOpen = true;
            core.engine_->Send(play::SetDialogOpen{true});
        }
        ~OpenFlag() {
            Dismissed();
            core.state_.SettingsDialogOpen = false;
        }
        // What OK changed is in force before the keys play again.
        void Dismissed() {
            if (!engineKnows) return;
            engineKnows = false;
            core.engine_->Send(play::SetShortcuts{core.state_.Settings.Shortcuts});
            core.engine_->Send(play::SetDialogOpen{false});
        }
        bool engineKnows = true;
    } flag(*this);
    // Keys play again once the user has closed the dialog, not only once it is gone (hiding
    // a window can take the platform a while).
    host_.ShowSettingsDialog(
        state_.Settings, [this] { mapping_.ReloadLayout(); }, [&flag] { flag.Dismissed(); });
    host_.Invalidate();
    EngineChanged(); // what the dialog's own loop may have shown stays the newest
}

void AppCore::EnabledClick() {
    SetEnabledState(!state_.Settings.Enabled);
    engine_->Send(play::SetEnabled{state_.Settings.Enabled});
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

// --- Key names and mapping keys. ---

// The Device submenu lists the outputs as they are now, and typing in the menu maps no key.
void AppCore::MenuOpening() {
    ports_.Refresh();
    mapping_.MenuOpening();
}

void AppCore::ShowTrayLook(bool inTray) {
    if (menu_) menu_->ShowTrayLook(inTray);
    // There is no keyboard to pick from in the tray.
    if (inTray) mapping_.EndEditing();
}

} // namespace zevaver

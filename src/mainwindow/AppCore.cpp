#include "mainwindow/AppCore.h"

#include "engine/CommandKeys.h"
#include "mainwindow/ResizeDamage.h"

#include <utility>

namespace zevaver {

std::optional<KeyCommand> BaseOctaveCommand(int32_t baseOctave) noexcept {
    return CommandForBaseOctave(baseOctave);
}

int KeyboardOctave(int32_t baseOctave) noexcept {
    return 4 + baseOctave / 12;
}

std::string PortLostText(const std::string& portName) {
    return "The MIDI port \"" + portName +
           "\" is no longer available. It is used again as soon as it is back.";
}

std::string DroppedProblemsText(uint32_t count) {
    return std::to_string(count) + (count == 1 ? " more error was" : " more errors were") +
           " not shown, as too many came at once.";
}

int32_t ClampedChannel(int32_t channel) noexcept {
    return (channel >= 1 && channel <= 16) ? channel : 1;
}

WindowRect TurnedBounds(const WindowRect& bounds) noexcept {
    return {bounds.left, bounds.top, bounds.height, bounds.width};
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
      engine_(std::make_unique<PlayingEngine>(engineHost ? *engineHost : *sameThread_, midi_)) {}

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
    scale_ = fw::DpiScale(host_.DpiAt(AtDpi(stored, start.Dpi())));
    state_.Drag.SetMinimumSize(MinimumSize());
    SetFader(settings.Velocity);
    // Failures are silent: the table then holds what could be read.
    (void)LoadLayout(settings, state_.KeyNotes, layoutFiles_);
    SendLayout();
    engine_->Send(play::SetShortcuts{settings.Shortcuts});
    engine_->Send(play::SetKeysByPosition{settings.KeysByPosition});

    // The menu exists before the skin, which fills its Skin submenu; the skin comes before
    // the keyboard, which paints with its colours and proportions.
    ports_ = ReadPorts(midi_);
    BuildMenus();
    if (SkinShell* shell = host_.Skins()) {
        skin_ = std::make_unique<TSkin>(settings, state_.SkinConfig, state_.Minimized, *shell);
        skin_->SetScale(scale_);
        // The trackbar always holds the velocity; the skinned fader only moves it.
        skin_->Chrome().Fader.OnChange = [this](int position) { SetFader(position); };
        skin_->LoadSkin();
        skin_->BuildSkinMenu(*menu_);
        ApplySkin();
    } else {
        state_.SkinConfig = ScaledConfig(TSkinConfig{}, scale_);
    }

    keys_ = std::make_unique<TKeys>(static_cast<KeysHost&>(*this), state_.SkinConfig);
    // The mouse plays where the computer keys play, so the two meet in one place.
    keys_->OnNoteOn = [this](TKeys&, int note, int velocity) {
        engine_->Send(play::MousePress{note, velocity});
        // While editing, the key clicked is the one the next computer key is mapped to.
        if (editing_) Pick(note);
    };
    marks_.SetPainter(host_.LabelPainter());
    keys_->SetOverlay(&marks_);
    keys_->OnNoteOff = [this](TKeys&, int note, int) { engine_->Send(play::MouseRelease{note}); };
    keys_->SetBaseOctave(2);
    keys_->SetNoteWidth(settings.NoteWidth);
    ApplyOrientation();
    PlaceWindow(AtDpi(stored, scale_.Dpi()));

    menu_->Item("mnuVertical").SetChecked(settings.Vertical);
    menu_->Item("mnuEnabled").SetChecked(settings.Enabled);
    menu_->Item("mnuKeyNames").SetChecked(settings.KeyNames);
    menu_->CommandItem(KeyCommand::KeysByPosition).SetChecked(settings.KeysByPosition);
    // The names are worked out once, below, when all they depend on is in place.
    startingUp_ = true;
    if (auto command = BaseOctaveCommand(settings.BaseOctave))
        menu_->Click(*command);
    else // any other value stays in force for the computer keys
        engine_->Send(play::SetBaseOctave{settings.BaseOctave});
    SetPedalKey(settings.PedalKey);
    SetEnabledState(settings.Enabled);
    engine_->Send(play::SetEnabled{settings.Enabled});
    icons_.SetIcon(state_.IconName);
    Apply(portChoice_.Start(ports_));
    SelectChannel(settings.Channel);
    startingUp_ = false;
    RefreshKeyNames();
    EngineChanged();
}

void AppCore::BuildMenus() {
    menu_ = std::make_unique<MainMenu>(static_cast<MainMenuActions&>(*this), ports_.Captions());
}

// A window that lies on no monitor goes to the primary screen's bottom-right corner; any
// window then lies wholly within a work area, so no part of the keyboard is out of reach.
void AppCore::PlaceWindow(const WindowRect& stored) {
    // A stored size may be anything, a missing value reads as 0.
    const ClientSize minimum = MinimumSize();
    const WindowRect size = AtLeastMinimumSize(stored, minimum);
    const ScreenSize screen = host_.PrimaryScreen();
    const Placement place = CorrectPlacement(size.left, size.top, size.width, size.height,
                                             {screen.Width, screen.Height}, host_.Monitors());
    const WindowRect bounds = KeptInWorkArea({place.left, place.top, size.width, size.height},
                                             host_.WorkAreas(), minimum);
    TSettings& settings = state_.Settings;
    settings.Left = bounds.left;
    settings.Top = bounds.top;
    settings.Width = bounds.width;
    settings.Height = bounds.height;
    settings.Dpi = scale_.Dpi();
    host_.SetWindowBounds(bounds);
    Resized(host_.ClientArea());
}

void AppCore::SetScale(const fw::DpiScale& scale) {
    scale_ = scale;
    state_.Drag.SetMinimumSize(MinimumSize());
    if (skin_)
        skin_->SetScale(scale);
    else
        state_.SkinConfig = ScaledConfig(TSkinConfig{}, scale);
}

void AppCore::DpiChanged(int dpi, const WindowRect& suggested, ScreenPoint pointer) {
    const fw::DpiScale scale(dpi);
    if (!keys_ || scale == scale_) return;
    const WindowRect bounds =
        state_.Drag.ScaleChanged(scale_.Dpi(), scale.Dpi(), suggested, pointer);
    SetScale(scale);
    // Every part of the window moves or changes its size: all of it is painted anew.
    laidOut_ = {};
    host_.SetWindowBounds(bounds);
    Resized(host_.ClientArea());
    host_.Invalidate();
    // The window's icons at the sizes of the new scale.
    if (!icons_.WindowIcon().empty()) host_.SetWindowIcon(icons_.WindowIcon());
}

void AppCore::ApplyOrientation() {
    keys_->SetOrientation(state_.Settings.Vertical ? TKeyboardOrientation::Vertical
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
    return keys_ && (keys_->HoldsMouse() || OverKeys(x, y));
}

bool AppCore::OverKeys(int x, int y) const noexcept {
    int kx = 0, ky = 0;
    return keys_ && KeysPoint(x, y, kx, ky);
}

// The layout follows the new size; what it moved is repainted (everything, unless only the
// width of a horizontal keyboard changed).
void AppCore::Resized(ClientSize client) {
    if (!keys_ || (skin_ && skin_->ApplyingSkin())) return;
    const bool vertical = state_.Settings.Vertical;
    const TSkinConfig& skin = state_.SkinConfig;
    frame_ = {skin.WindowsStyle, skin.BorderSize, skin.TitleHeight, skin.FaderWidth,
              skin.Scale.Unit()};
    if (skin_) skin_->Layout(client.width, client.height, vertical);
    const WindowRect keys = KeyboardRect(frame_, client, vertical);
    {
        // The keyboard asks for a repaint of all of itself; the damage below is enough.
        const bool wasLayingOut = std::exchange(layingOut_, true);
        keys_->SetBounds(keys.left, keys.top, keys.width, keys.height);
        layingOut_ = wasLayingOut;
    }
    host_.PlaceFader(TrackbarRect(frame_, client, vertical), vertical);
    const WidthDependents depths =
        WidthDependentsOf(frame_, skin.CornerSize, keys_->NoteWidth(), skin.KeysOutlineWidth);
    for (const fw::PixelRect& rect : ResizeDamage(laidOut_, client, vertical, depths))
        host_.InvalidateArea(rect);
    laidOut_ = client;
}

void AppCore::Stop() {
    if (!keys_ || stopped_) return;
    stopped_ = true;
    // What shortcuts changed last is kept too.
    EngineChanged();
    icons_.WindowDestroyed();
    TSettings& settings = state_.Settings;
    const WindowRect bounds = host_.WindowBounds();
    settings.Width = bounds.width;
    settings.Height = bounds.height;
    settings.Top = bounds.top;
    settings.Left = bounds.left;
    settings.Dpi = scale_.Dpi();
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
    if (KeyTakenByEditing(key, shift)) return true;
    const CommandKeyAction action = CommandKeyDown(key, shift, state_.Transpose);
    if ((action.transpose || action.command) && KeyPlaysNote(key, shift, flags)) return true;
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
    if (TakeBackPorts() && !stopped_) {
        ports_ = ReadPorts(midi_);
        Apply(portChoice_.Lost(ports_));
    }
    if (engine_->TakePortWanted() && portId_ == 0 && menu_ && !stopped_) RetryPort();
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
    while (engine_->TakeLayoutEdit(edit)) ApplyLayoutEdit(edit);
    keys_->ShowNotes(view.down);
    if (view.blinks != seenBlinks_) {
        seenBlinks_ = view.blinks;
        icons_.Blink();
    }
    menu_->SetPushChecked(view.pushChecked);
    // A shortcut's change is taken over once the engine has applied what this side sent;
    // before that, the view may predate a change made here.
    if (view.applied != engine_->Sent()) return;
    if (view.picked != picked_) ShowPicked(view.picked);
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
    RefreshKeyNames();
}

void AppCore::Timer(int id) {
    if (id == BlinkTimerId) icons_.BlinkTimerTimer();
    if (id == PortsTimerId) {
        host_.StopTimer(PortsTimerId);
        RefreshPorts();
    }
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

void AppCore::SelectDevice(int32_t id) {
    Apply(portChoice_.Select(id, ports_));
}

void AppCore::RefreshPorts() {
    if (!menu_ || stopped_) return;
    ports_ = ReadPorts(midi_);
    Apply(portChoice_.Refresh(ports_));
}

// The library's list may lag a little behind the system's message, so it is read again a
// moment later too.
void AppCore::DevicesChanged() {
    if (!menu_ || stopped_) return;
    RefreshPorts();
    host_.StartTimer(PortsTimerId, PortsSecondLookMs);
}

// The menu checks the port that plays; while the chosen one is missing it is listed greyed
// below the others. The boxes come last: other messages are handled while they show.
void AppCore::Apply(const PortStep& step) {
    menu_->SetDevices(ports_.Captions(),
                      portChoice_.Away() ? portChoice_.ChosenName() : std::string());
    menu_->CheckDevice(portChoice_.OpenDevice());
    bool failed = false;
    if (step.engine == PortStep::Engine::Open) {
        failed = !OpenDevice(step.device) && step.reportFailure;
    } else if (step.engine == PortStep::Engine::Renumber) {
        engine_->Send(play::RenumberDevice{step.device});
    }
    if (failed) {
        host_.ReportError(ports_.Count() == 0 ? NoPortsText : PortFailedText);
        ShowView();
    }
    if (!step.lostPort.empty()) {
        host_.ReportError(PortLostText(step.lostPort));
        ShowView();
    }
}

// The port is opened here, where waiting on the driver holds up nothing but the window, and
// handed to the engine; the one it played on comes back first and is closed here too.
bool AppCore::OpenDevice(int32_t device) {
    if (portId_ != 0) {
        engine_->Send(play::DetachPort{});
        engine_->AwaitApplied();
        portId_ = 0;
        (void)TakeBackPorts();
    }
    MidiOutPort port = OpenOutputPort(midi_, device);
    if (!port.IsOpen()) return false;
    portId_ = ++portIds_;
    engine_->Send(play::AttachPort{port.Release(), device, portId_});
    return true;
}

// A key found no port: the one chosen is tried again, silently.
void AppCore::RetryPort() {
    (void)OpenDevice(portChoice_.OpenDevice());
}

// Closes what the engine gave back. True when that was the port in use, found gone (one
// already replaced when it was lost is no news).
bool AppCore::TakeBackPorts() {
    bool lost = false;
    play::ReturnedPort returned;
    while (engine_->TakeReturnedPort(returned)) {
        const MidiOutPort port(midi_, returned.port); // reset and closed as it goes
        if (returned.lost && returned.id == portId_) {
            portId_ = 0;
            lost = true;
        }
    }
    return lost;
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
    RefreshKeyNames();
}

void AppCore::SetTranspose(int32_t value) {
    state_.Transpose = value;
    engine_->Send(play::SetTranspose{value});
    menu_->CheckTranspose(value);
    RefreshKeyNames();
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
    RefreshKeyNames();
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
    Resized(host_.ClientArea());
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

// The turned window stays wholly on its screen: a long keyboard turned upright would
// otherwise reach below it.
void AppCore::VerticalClick() {
    const WindowRect bounds = host_.WindowBounds();
    state_.Settings.Vertical = !state_.Settings.Vertical;
    ApplyOrientation();
    const ClientSize minimum = MinimumSize();
    host_.SetWindowBounds(KeptInWorkArea(AtLeastMinimumSize(TurnedBounds(bounds), minimum),
                                         host_.WorkAreas(), minimum));
    Resized(host_.ClientArea());
    host_.Invalidate();
}

void AppCore::SettingsClick() {
    // One dialog at a time; the flag stays set for exactly as long as the dialog exists,
    // whatever way its showing ends, and the engine knows it before any key that follows.
    if (state_.SettingsDialogOpen) return;
    ClearPick();
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
        state_.Settings, [this] { ReloadLayout(); }, [&flag] { flag.Dismissed(); });
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

} // namespace zevaver

// The application core: owns the program's state (AppState), the on-screen keyboard, the
// menu model and the playing engine, and makes every decision the main window makes. It
// reaches the window only through AppHost, so it runs the same in the program and in native
// tests. The engine (keys, notes, the MIDI port) runs on the input thread when the program
// gives it one (an EngineHost), and on the window's own thread otherwise (tests): the core
// talks to it the same way either way, by commands and by reading its view.
//
// How a new feature plugs in:
//   1. its state becomes a member of AppState (named as the feature's description names it);
//   2. its rules become AppCore calls (or a portable class AppCore owns), unit-tested with
//      the fakes in tests/support;
//   3. its Win32 part is a class in src/<area>/win/ implementing fw::MessageHandler, whose
//      TryHandle(message, wParam, lParam, result) turns its messages into those core calls;
//      TKeysForm registers it with AddHandler, so KeysForm.cpp does not grow.
//   A new user command is one row of the command table (mainwindow/Commands.h).
#pragma once

#include "engine/Layout.h"
#include "engine/PlayingEngine.h"
#include "engine/PortChoice.h"
#include "engine/SettingsStore.h"
#include "keyboard/KeyMarks.h"
#include "keyboard/KeyNames.h"
#include "keyboard/Keys.h"
#include "keyboard/MidiOut.h"
#include "mainwindow/AppState.h"
#include "mainwindow/Geometry.h"
#include "mainwindow/LayoutEditor.h"
#include "mainwindow/MainMenu.h"
#include "mainwindow/StoredGeometry.h"
#include "mainwindow/TrayIcons.h"
#include "skin/SkinFeature.h"

#include <bitset>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace zevaver {

// What the core asks of the main window.
class AppHost {
public:
    // Painting: the keyboard control draws into the window's back buffer.
    [[nodiscard]] virtual fw::PixelSurface* BackBuffer() = 0;
    virtual void Present(int left, int top, int width, int height) = 0;
    virtual void Invalidate() = 0;
    // A part of the window to repaint; the whole window unless the host can do better.
    virtual void InvalidateArea(const fw::PixelRect& /*area*/) { Invalidate(); }
    virtual void CaptureMouse() = 0;
    virtual void ReleaseMouseCapture() = 0;
    virtual void SetSkinCursor() = 0;

    // Window bounds. WindowBounds is the outer rectangle, the normal one while minimised.
    [[nodiscard]] virtual ScreenSize PrimaryScreen() = 0;
    [[nodiscard]] virtual WindowRect WindowBounds() = 0;
    virtual void SetWindowBounds(const WindowRect& bounds) = 0;
    [[nodiscard]] virtual ClientSize ClientArea() = 0;
    // For an engine on the window's own thread: the system's foreground window is the main
    // window; the system's own answer whether a key is held now (a virtual-key code); when
    // the event being handled happened, in milliseconds of a clock that wraps.
    [[nodiscard]] virtual bool IsActive() = 0;
    [[nodiscard]] virtual bool IsKeyDown(int32_t key) = 0;
    [[nodiscard]] virtual uint32_t EventTime() = 0;
    virtual void CloseWindow() = 0;

    // The velocity fader: position 0..127, 0 the loudest. Whatever moves it calls
    // AppCore::FaderMoved.
    [[nodiscard]] virtual int32_t FaderPosition() = 0;
    virtual void SetFaderPosition(int32_t position) = 0;
    virtual void PlaceFader(const WindowRect& bounds, bool vertical) = 0;
    // Every monitor's rectangle on the virtual screen; the primary screen alone by default.
    [[nodiscard]] virtual std::vector<fw::PixelRect> Monitors() {
        const ScreenSize screen = PrimaryScreen();
        return {fw::PixelRect{0, 0, screen.Width, screen.Height}};
    }
    // Every monitor's work area (less the taskbar and docked bars); the monitors' own
    // rectangles by default.
    [[nodiscard]] virtual std::vector<fw::PixelRect> WorkAreas() { return Monitors(); }
    // The DPI the window is drawn at now (its screen's); 96 by default.
    [[nodiscard]] virtual int WindowDpi() { return fw::BaseDpi; }
    // The DPI of the screen that holds most of an area of the desktop.
    [[nodiscard]] virtual int DpiAt(const WindowRect& area) {
        (void)area;
        return WindowDpi();
    }

    // Icons and the notification area; TrayIcons decides which and when.
    virtual void TrayIcon(const std::string& trayName, TrayAction action) = 0;
    virtual void SetWindowIcon(const std::string& windowName) = 0;
    // Shows or hides the window and with it its taskbar button.
    virtual void ShowApplicationWindow(bool shown) = 0;
    // Brings the window to the foreground and processes the pending messages once.
    virtual void BringToFront() = 0;
    // The error message box.
    virtual void ReportError(const std::string& text) = 0;
    // The popup menu at the mouse cursor.
    virtual void ShowPopup(fw::MenuItem& root) = 0;
    // The settings dialog, modal on these settings; returns when it is closed.
    // layoutChanged is called when OK has changed the layout's name, dismissed when the user
    // closes the dialog (which may be a while before it has gone).
    virtual void ShowSettingsDialog(TSettings& settings, const std::function<void()>& layoutChanged,
                                    const std::function<void()>& dismissed) = 0;
    // Timers: Timer(id) is called every `milliseconds` until stopped.
    virtual void StartTimer(int id, uint32_t milliseconds) = 0;
    virtual void StopTimer(int id) = 0;

    // Skins: the platform's part, or null where there are none (the window then keeps the
    // built-in look).
    [[nodiscard]] virtual SkinShell* Skins() { return nullptr; }

    // "Key names": text on the keys, the platform's, or null (no names are drawn then); a
    // layout entry's caption as the user's keyboard layout names the key (byPosition: the
    // entry is the US English code of a place, named as the user's keyboard prints the key
    // in that place).
    [[nodiscard]] virtual TextPainter* LabelPainter() { return nullptr; }
    [[nodiscard]] virtual std::string KeyName(int entry, bool byPosition) {
        (void)byPosition;
        return BuiltInKeyName(entry);
    }
    // "Save layout as...": asks for a name, starting from the one given; nothing when the
    // user cancels. Then whether to replace the layout of that name.
    [[nodiscard]] virtual std::optional<std::string> AskLayoutName(const std::string& name) {
        (void)name;
        return std::nullopt;
    }
    [[nodiscard]] virtual bool AskReplaceLayout(const std::string& name) {
        (void)name;
        return false;
    }

protected:
    ~AppHost() = default;
};

// --- The decisions, as functions of their inputs. ---

// The base-octave item a stored base octave clicks at start: only the five known values
// click one; any other stays in force for the computer keys while the on-screen keyboard
// keeps its first octave.
[[nodiscard]] std::optional<KeyCommand> BaseOctaveCommand(int32_t baseOctave) noexcept;
// The on-screen keyboard's first octave for a base octave setting (0 is C4).
[[nodiscard]] int KeyboardOctave(int32_t baseOctave) noexcept;
// A channel outside 1..16 falls back to 1.
[[nodiscard]] int32_t ClampedChannel(int32_t channel) noexcept;
// Turning the keyboard swaps the outer width and height; the top-left corner stays. (The
// window then grows to its minimum size where the swap leaves it short.)
[[nodiscard]] WindowRect TurnedBounds(const WindowRect& bounds) noexcept;

// The message shown when the chosen MIDI port fails to open.
inline constexpr const char* PortFailedText = "Selected MIDI port could't be opened.";
// The message shown when there is no MIDI output at all.
inline constexpr const char* NoPortsText =
    "There is no MIDI output on this computer. Nothing plays until one is connected.";
// The message shown, once, when the MIDI port in use goes away.
[[nodiscard]] std::string PortLostText(const std::string& portName);
// Shown when more errors came at once than could wait to be shown.
[[nodiscard]] std::string DroppedProblemsText(uint32_t count);

class AppCore final : private KeysHost, private MainMenuActions, private TrayIconsHost {
public:
    static constexpr int BlinkTimerId = 1;
    // A second look at the MIDI outputs a moment after a device change.
    static constexpr int PortsTimerId = 2;
    static constexpr uint32_t PortsSecondLookMs = 1000;

    // engineHost: the input thread that runs the engine; null runs it on the calling thread.
    AppCore(AppHost& host, MidiOut& midi, SettingsRegistry& registry, LayoutFiles& layoutFiles,
            std::string settingsKeyPath = std::string(SettingsKeyPath),
            EngineHost* engineHost = nullptr);
    AppCore(const AppCore&) = delete;
    AppCore& operator=(const AppCore&) = delete;
    ~AppCore() override;

    // The creation steps: settings, layout, keyboard, placement, menus, device and
    // channel. The window exists (its size is known) when this runs.
    void Start();
    // The shutdown steps: bounds and fader copied back, settings saved. Runs once, and
    // only after Start.
    void Stop();

    [[nodiscard]] AppState& State() noexcept { return state_; }
    // The on-screen keyboard (once started).
    [[nodiscard]] TKeys& Keys() noexcept { return *keys_; }
    [[nodiscard]] MainMenu& Menu() noexcept { return *menu_; }
    // The playing engine. Its own state may only be read where it runs, or while it is
    // not running.
    [[nodiscard]] PlayingEngine& Engine() noexcept { return *engine_; }
    [[nodiscard]] bool Started() const noexcept { return keys_ != nullptr; }
    // The skin, once started with a host that has skins.
    [[nodiscard]] TSkin* Skin() noexcept { return skin_.get(); }

    // The user's choice of a device, by its id in the Device submenu.
    void SelectDevice(int32_t id);
    // Reads the MIDI outputs again: the Device submenu shows them, and the chosen port is
    // followed, given up for the stand-in or taken again (PortChoice).
    void RefreshPorts();
    // The system says a device came or went.
    void DevicesChanged();
    void SelectChannel(int32_t channel);
    void SetPedalKey(int32_t key);
    // Releases everything the pedal allows, then moves to the new transposition.
    void SetTranspose(int32_t value);
    // Stores the playing switch and picks the idle icon for it; shows nothing itself.
    void SetEnabledState(bool value);
    void ShowPopup();

    // The icons, the tray and the blink.
    [[nodiscard]] TrayIcons& Icons() noexcept { return icons_; }
    // To the tray: the minimise button, "&Minimize" and the skinned minimise button.
    void MinimizeApplication() { icons_.Minimize(); }
    // Back from the tray: a left click on the tray icon, "&Restore".
    void RestoreFromTray();

    // --- Window events. ---
    // Paints what lies inside `area` (all of it by default) and shows it.
    void Paint(const fw::PixelRect& area = fw::EverywhereRect);
    void Resized(ClientSize client);
    // The window moved onto a screen of another DPI: it takes the bounds the system
    // suggests (held under the pointer while its title is dragged) and is laid out and
    // drawn anew at the new scale.
    void DpiChanged(int dpi, const WindowRect& suggested, ScreenPoint pointer);
    // The scale the window is laid out and drawn at.
    [[nodiscard]] const fw::DpiScale& Scale() const noexcept { return scale_; }
    // The smallest the window may be, at that scale.
    [[nodiscard]] ClientSize MinimumSize() const noexcept { return MinimumWindowSize(scale_); }
    // The keyboard control is windowless: presses reach it when they fall inside its
    // rectangle, moves also anywhere while it holds a button, releases of the buttons it
    // holds anywhere.
    void MouseDown(TMouseButton button, TShiftState shift, int x, int y);
    void MouseUp(TMouseButton button, TShiftState shift, int x, int y);
    void MouseMove(TShiftState shift, int x, int y);
    // The capture went to another window: the left button's release will not come.
    void MouseCaptureLost();
    // The keyboard control takes the pointer at this client point: it lies on the keyboard,
    // or the keyboard holds the pointer after a press on it.
    [[nodiscard]] bool KeyboardTakesPointer(int x, int y) const noexcept;
    // The client point lies on the keyboard.
    [[nodiscard]] bool OverKeys(int x, int y) const noexcept;
    // Command keys of the focused window or the fader; true when the key was consumed.
    // flags: the key message's lParam (its scan code places the key).
    [[nodiscard]] bool KeyDown(uint16_t key, ModifierSet shift, uint32_t flags = 0);
    // A keystroke seen by the input watch, for an engine on this thread.
    void KeyWatched(int32_t wParam, int32_t lParam);
    // The fader moved (by the user, or by the program).
    void FaderMoved(int32_t position) noexcept;
    // The engine has news (EngineHost::WakeWindow): the keys held, the blink, what a
    // shortcut changed, problems to report.
    void EngineChanged();
    // The Windows session ends and the process may end at once: the settings are kept and
    // the port silenced, whose notes could otherwise hang on an external synthesizer. The
    // engine must no longer be running elsewhere.
    void SessionEnding();
    void Timer(int id);

    // --- Key names and mapping keys (AppCoreKeys.cpp). ---
    // The popup menu is about to open, wherever it was asked for.
    void MenuOpening();
    // The user's keyboard layout changed: the keys' names with it.
    void KeyboardLayoutChanged();
    [[nodiscard]] bool EditingKeys() const noexcept { return editing_; }
    // The note picked for the next key, or KeyEditing::NoPick.
    [[nodiscard]] int32_t PickedNote() const noexcept { return picked_; }
    [[nodiscard]] KeyMarks& Marks() noexcept { return marks_; }

private:
    void BuildMenus();
    // The window at its stored place and size (at `scale_`), kept on the screen.
    void PlaceWindow(const WindowRect& stored);
    void SetScale(const fw::DpiScale& scale);
    void ApplyOrientation();
    void ApplySkin();
    [[nodiscard]] bool KeysPoint(int x, int y, int& kx, int& ky) const noexcept;
    void SetFader(int32_t position);
    void ShowBaseOctave(int32_t baseOctave);
    void ShowEnabled(bool enabled);
    void ShowView();
    void Apply(const PortStep& step);
    [[nodiscard]] bool OpenDevice(int32_t device);
    void RetryPort();
    [[nodiscard]] bool TakeBackPorts();
    // AppCoreKeys.cpp.
    void SendLayout();
    // The layout the settings name, read again and played.
    void ReloadLayout();
    void RefreshKeyNames();
    void RepaintKeys();
    void Pick(int32_t note);
    void ShowPicked(int32_t note);
    void ClearPick();
    void EndEditing();
    void ApplyLayoutEdit(const play::LayoutEdit& edit);
    // A key of the focused window that mapping keys has taken (or is about to take) does
    // not also run a command.
    [[nodiscard]] bool KeyTakenByEditing(uint16_t key, ModifierSet shift);
    // A key of the focused window that the layout plays: it plays instead of running its
    // command (held Ctrl or Alt let no note play, so the command runs then).
    [[nodiscard]] bool KeyPlaysNote(uint16_t key, ModifierSet shift, uint32_t flags) const;
    void SetNotice(std::string notice);

    // KeysHost.
    fw::PixelSurface* BackBuffer() override { return host_.BackBuffer(); }
    void Present(int left, int top, int width, int height) override;
    void Invalidate() override {
        if (!layingOut_) host_.Invalidate();
    }
    void CaptureMouse() override { host_.CaptureMouse(); }
    void ReleaseMouseCapture() override { host_.ReleaseMouseCapture(); }
    void SetSkinCursor() override { host_.SetSkinCursor(); }
    [[nodiscard]] bool Minimized() const override { return state_.Minimized; }

    // MainMenuActions.
    void DeviceClick(int32_t id) override;
    void ChannelClick(int32_t channel) override;
    void BaseOctaveClick(int32_t baseOctave) override;
    void TransposeClick(int32_t value) override;
    void PushClick() override;
    void PedalKeyClick(int32_t key) override;
    void SkinClick(fw::MenuItem& item) override;
    void ZoomInClick() override;
    void ZoomOutClick() override;
    void VerticalClick() override;
    void SettingsClick() override;
    void EnabledClick() override;
    void MinimizeClick() override;
    void CloseClick() override;
    void KeyNamesClick() override;
    void EditKeysClick() override;
    void SaveLayoutAsClick() override;
    void KeysByPositionClick() override;
    void RevertLayoutClick() override;

    // TrayIconsHost.
    void TrayIcon(const std::string& trayName, TrayAction action) override {
        host_.TrayIcon(trayName, action);
    }
    void SetWindowIcon(const std::string& windowName) override { host_.SetWindowIcon(windowName); }
    void SetBlinkTimer(bool running) override;
    void ShowApplicationWindow(bool shown) override { host_.ShowApplicationWindow(shown); }
    void ShowTrayLook(bool inTray) override;
    void IconBoxChanged() override;

    // The engine on the window's own thread: commands apply at once, news arrive at once.
    class SameThreadEngine;

    AppHost& host_;
    MidiOut& midi_;
    SettingsRegistry& registry_;
    std::string settingsKeyPath_;
    LayoutFiles& layoutFiles_;
    AppState state_;
    PortList ports_;
    PortChoice portChoice_{state_.Settings};
    TrayIcons icons_{static_cast<TrayIconsHost&>(*this), state_.Minimized, state_.IconName};
    FrameMetrics frame_;
    fw::DpiScale scale_;
    std::unique_ptr<TSkin> skin_;
    std::unique_ptr<SameThreadEngine> sameThread_;
    std::unique_ptr<PlayingEngine> engine_;
    std::unique_ptr<TKeys> keys_;
    std::unique_ptr<MainMenu> menu_;
    uint32_t seenBlinks_ = 0;
    // The port the engine plays on (0: none), as attached; ids count up from 1.
    uint32_t portId_ = 0;
    uint32_t portIds_ = 0;
    // The client size the layout was last made for, and whether it is being made now.
    ClientSize laidOut_;
    bool layingOut_ = false;
    // Start is setting up what the key names depend on: they wait until it is all set.
    bool startingUp_ = false;
    bool stopped_ = false;

    // Key names and mapping keys.
    LayoutEditor editor_{state_.Settings, state_.KeyNotes, layoutFiles_};
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

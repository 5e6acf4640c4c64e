// The application core: owns the program's state (AppState), the keyboard control with its
// MIDI port, the key player and the menu model, and makes every decision the main window
// makes. It reaches the window only through AppHost, so it runs the same in the program
// and in native tests.
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

#include "engine/KeyPlayer.h"
#include "engine/Layout.h"
#include "engine/SettingsStore.h"
#include "keyboard/Keys.h"
#include "keyboard/MIDIKeys.h"
#include "keyboard/MidiOut.h"
#include "mainwindow/AppState.h"
#include "mainwindow/Geometry.h"
#include "mainwindow/MainMenu.h"
#include "mainwindow/TrayIcons.h"
#include "skin/SkinFeature.h"

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
    virtual void CaptureMouse() = 0;
    virtual void ReleaseMouseCapture() = 0;
    virtual void SetSkinCursor() = 0;

    // Window bounds. WindowBounds is the outer rectangle, the normal one while minimised.
    [[nodiscard]] virtual ScreenSize PrimaryScreen() = 0;
    [[nodiscard]] virtual WindowRect WindowBounds() = 0;
    virtual void SetWindowBounds(const WindowRect& bounds) = 0;
    [[nodiscard]] virtual ClientSize ClientArea() = 0;
    // The system's foreground window is the main window.
    [[nodiscard]] virtual bool IsActive() = 0;
    // The system's own answer whether a key is held now (a virtual-key code).
    [[nodiscard]] virtual bool IsKeyDown(int32_t key) = 0;
    // When the message being handled was sent, in milliseconds of a clock that wraps.
    [[nodiscard]] virtual uint32_t EventTime() = 0;
    virtual void CloseWindow() = 0;

    // The velocity fader: position 0..127, 0 the loudest.
    [[nodiscard]] virtual int32_t FaderPosition() = 0;
    virtual void SetFaderPosition(int32_t position) = 0;
    virtual void PlaceFader(const WindowRect& bounds, bool vertical) = 0;
    // Every monitor's rectangle on the virtual screen; the primary screen alone by default.
    [[nodiscard]] virtual std::vector<fw::PixelRect> Monitors() {
        const ScreenSize screen = PrimaryScreen();
        return {fw::PixelRect{0, 0, screen.Width, screen.Height}};
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
    // layoutChanged is called when OK has changed the layout's name.
    virtual void ShowSettingsDialog(TSettings& settings,
                                    const std::function<void()>& layoutChanged) = 0;
    // Timers: Timer(id) is called every `milliseconds` until stopped.
    virtual void StartTimer(int id, uint32_t milliseconds) = 0;
    virtual void StopTimer(int id) = 0;

    // Skins: the platform's part, or null where there are none (the window then keeps the
    // built-in look).
    [[nodiscard]] virtual SkinShell* Skins() { return nullptr; }

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
// A device at or past the count falls back to device 0 (the mapper, -1, stays).
[[nodiscard]] int32_t ClampedDevice(int32_t id, int deviceCount) noexcept;
// A channel outside 1..16 falls back to 1.
[[nodiscard]] int32_t ClampedChannel(int32_t channel) noexcept;
// Turning the keyboard swaps the outer width and height; the top-left corner stays. (The
// window then grows to its minimum size where the swap leaves it short.)
[[nodiscard]] WindowRect TurnedBounds(const WindowRect& bounds) noexcept;

// The message shown when the chosen MIDI port fails to open.
inline constexpr const char* PortFailedText = "Selected MIDI port could't be opened.";

class AppCore final : private KeysHost,
                      private KeyPlayerHost,
                      private MainMenuActions,
                      private TrayIconsHost {
public:
    static constexpr int BlinkTimerId = 1;

    AppCore(AppHost& host, MidiOut& midi, SettingsRegistry& registry,
            std::string settingsKeyPath = std::string(SettingsKeyPath),
            LayoutFiles* layoutFiles = nullptr);
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
    [[nodiscard]] TMIDIKeys& MIDIKeys() noexcept { return *midiKeys_; }
    [[nodiscard]] MainMenu& Menu() noexcept { return *menu_; }
    [[nodiscard]] KeyPlayer& Player() noexcept { return player_; }
    [[nodiscard]] int DeviceCount() const noexcept { return deviceCount_; }
    [[nodiscard]] bool Started() const noexcept { return midiKeys_ != nullptr; }
    // The skin, once started with a host that has skins.
    [[nodiscard]] TSkin* Skin() noexcept { return skin_.get(); }

    void SelectDevice(int32_t id);
    void SelectChannel(int32_t channel);
    void SetPedalKey(int32_t key);
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
    void Paint();
    void Resized(ClientSize client);
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
    [[nodiscard]] bool KeyDown(uint16_t key, ModifierSet shift);
    // A keystroke seen by the input watch.
    void KeyWatched(int32_t wParam, int32_t lParam);
    // The input desktop changed (lock screen, secure attention, elevation prompt): key
    // releases made there were never seen, so the held keys are read back.
    void DesktopSwitched();
    // The Windows session ends and the process may end at once: the settings are kept and
    // the port silenced, whose notes could otherwise hang on an external synthesizer.
    void SessionEnding();
    void Timer(int id);

private:
    void BuildMenus();
    void PlaceWindow();
    void ApplyOrientation();
    void ApplySkin();
    [[nodiscard]] bool KeysPoint(int x, int y, int& kx, int& ky) const noexcept;
    void Blink();

    // KeysHost.
    fw::PixelSurface* BackBuffer() override { return host_.BackBuffer(); }
    void Present(int left, int top, int width, int height) override;
    void Invalidate() override { host_.Invalidate(); }
    void CaptureMouse() override { host_.CaptureMouse(); }
    void ReleaseMouseCapture() override { host_.ReleaseMouseCapture(); }
    void SetSkinCursor() override { host_.SetSkinCursor(); }
    [[nodiscard]] bool Minimized() const override { return state_.Minimized; }
    [[nodiscard]] bool PedalDown() const override { return player_.PedalDown(); }

    // KeyPlayerHost.
    void PressNote(int32_t note, int32_t velocity) override;
    void ReleaseNote(int32_t note) override;
    [[nodiscard]] bool IsNoteSounding(int32_t note) override;
    void ReleaseAllNotes() override;
    void ClickCommand(KeyCommand command) override;
    void SetPushChecked(bool checked) override;
    void CheckTransposeItem(int32_t value) override;
    [[nodiscard]] bool IsMainWindowActive() override;
    [[nodiscard]] bool IsSettingsDialogOpen() override;
    [[nodiscard]] int32_t VelocityPosition() override;
    [[nodiscard]] bool IsKeyDown(int32_t key) override { return host_.IsKeyDown(key); }
    [[nodiscard]] uint32_t EventTime() override { return host_.EventTime(); }

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

    // TrayIconsHost.
    void TrayIcon(const std::string& trayName, TrayAction action) override {
        host_.TrayIcon(trayName, action);
    }
    void SetWindowIcon(const std::string& windowName) override { host_.SetWindowIcon(windowName); }
    void SetBlinkTimer(bool running) override;
    void ShowApplicationWindow(bool shown) override { host_.ShowApplicationWindow(shown); }
    void ShowTrayLook(bool inTray) override {
        if (menu_) menu_->ShowTrayLook(inTray);
    }
    void IconBoxChanged() override;

    AppHost& host_;
    MidiOut& midi_;
    SettingsRegistry& registry_;
    std::string settingsKeyPath_;
    std::unique_ptr<LayoutFiles> ownLayoutFiles_;
    LayoutFiles* layoutFiles_;
    AppState state_;
    TrayIcons icons_{static_cast<TrayIconsHost&>(*this), state_.Minimized, state_.IconName};
    FrameMetrics frame_;
    std::unique_ptr<TSkin> skin_;
    std::unique_ptr<TMIDIKeys> midiKeys_;
    KeyPlayer player_;
    std::unique_ptr<MainMenu> menu_;
    int deviceCount_ = 0;
    bool stopped_ = false;
};

} // namespace zevaver

// The main window: hosts the on-screen keyboard and the velocity trackbar, owns the input
// watch, the popup menu and the MIDI port, and turns Windows messages into calls of the
// portable parts (keyboard control, key player, menu). Nothing here computes a rule of
// its own beyond wiring.
#pragma once

#include "engine/KeyPlayer.h"
#include "engine/SettingsStore.h"
#include "framework/PixelSurface.h"
#include "framework/win/BackBuffer.h"
#include "framework/win/PopupMenu.h"
#include "framework/win/Window.h"
#include "keyboard/Keys.h"
#include "keyboard/MIDIKeys.h"
#include "keyboard/MidiOut.h"
#include "mainwindow/Geometry.h"
#include "mainwindow/MainMenu.h"
#include "mainwindow/win/TrayShell.h"
#include "services/win/Watch.h"

#include <memory>
#include <string>

struct KeysFormOptions {
    // The MIDI library; the platform's when null.
    MidiOut* midiOut = nullptr;
    // The settings store; the user's registry when null.
    SettingsRegistry* registry = nullptr;
    std::string settingsKeyPath = std::string(SettingsKeyPath);
};

class TKeysForm final : public fw::WindowBase,
                        private KeysHost,
                        private KeyPlayerHost,
                        private MainMenuActions {
public:
    static constexpr const char* ClassName = "TKeysForm";
    static constexpr const char* Caption = "Zevaver MIDI Keyboard";
    static constexpr int MinWidth = 100;
    static constexpr int MinHeight = 80;

    explicit TKeysForm(KeysFormOptions options = {});
    ~TKeysForm() override;

    // Creates the window (hidden) and runs the creation steps: settings, layout, keyboard,
    // placement, menus, device and channel. False when the window could not be made.
    [[nodiscard]] bool Create();
    // The shutdown steps: watch stopped, bounds and fader copied back, settings saved.
    // Runs once; later calls do nothing.
    void FormDestroy();

    [[nodiscard]] TMIDIKeys& MIDIKeys() noexcept { return *midiKeys_; }
    [[nodiscard]] MainMenu& Menu() noexcept { return *menu_; }
    [[nodiscard]] KeyPlayer& Player() noexcept { return player_; }
    [[nodiscard]] TWatch& KeyWatch() noexcept { return *keyWatch_; }
    [[nodiscard]] HWND Velocity() const noexcept { return velocity_.get(); }
    [[nodiscard]] int DeviceCount() const noexcept { return deviceCount_; }

    void SelectDevice(int32_t id);
    void SelectChannel(int32_t channel);
    void SetPedalKey(int32_t key);
    void PopupAtCursor();

    // The icons, the tray and the blink.
    [[nodiscard]] TrayIcons& Icons() noexcept { return tray_->Icons(); }
    // To the tray: what the minimise button, "&Minimize" and the skinned minimise button do.
    void MinimizeApplication() { tray_->Icons().Minimize(); }
    // Back from the tray (a left click on the tray icon, "&Restore").
    void RestoreFromTray();

protected:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) noexcept override;

private:
    // Creation steps.
    void FormCreate();
    void CreateVelocityTrackbar();
    void BuildMenus();
    void PlaceWindow();
    void ApplyOrientation();
    void FormResize();
    [[nodiscard]] TrayShell::Actions TrayActions();
    [[nodiscard]] int VelocityPosition() override;

    // Messages.
    void OnPaint();
    void OnMouseButton(UINT message, int x, int y, WPARAM keys);
    void OnMouseMove(int x, int y, WPARAM keys);
    [[nodiscard]] bool KeysPoint(int x, int y, int& kx, int& ky) const noexcept;
    [[nodiscard]] bool OnKeyDown(WPARAM key);
    static LRESULT CALLBACK VelocityProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                         UINT_PTR id, DWORD_PTR data) noexcept;

    // KeysHost.
    fw::PixelSurface* BackBuffer() override;
    void Present(int left, int top, int width, int height) override;
    void Invalidate() override;
    void CaptureMouse() override;
    void ReleaseMouseCapture() override;
    void SetSkinCursor() override;
    [[nodiscard]] bool Minimized() const override;
    [[nodiscard]] bool PedalDown() const override;

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

    KeysFormOptions options_;
    std::unique_ptr<MidiOut> ownMidiOut_;
    std::unique_ptr<SettingsRegistry> ownRegistry_;
    fw::BackBuffer backBuffer_;
    fw::PixelSurface surface_;
    fw::Window velocity_;
    std::unique_ptr<TWatch> keyWatch_;
    std::unique_ptr<TMIDIKeys> midiKeys_;
    KeyPlayer player_;
    std::unique_ptr<MainMenu> menu_;
    std::unique_ptr<TrayShell> tray_;
    fw::PopupMenu popup_;
    FrameMetrics frame_;
    int deviceCount_ = 0;
    bool keysHaveMouse_ = false;
    bool created_ = false;
    bool destroyed_ = false;
};

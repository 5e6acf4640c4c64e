// The main window: the Win32 adapter of the application core. It turns Windows messages
// into AppCore calls and does what the core asks of a window (AppHost): painting through
// the back buffer, bounds, the velocity trackbar, the popup menu, error boxes, timers.
// Feature code registers its own message handler (fw::MessageHandler) instead of growing
// this file; see mainwindow/AppCore.h.
#pragma once

#include "engine/SettingsStore.h"
#include "engine/win/WinLayoutFiles.h"
#include "framework/PixelSurface.h"
#include "framework/win/BackBuffer.h"
#include "framework/win/PopupMenu.h"
#include "framework/win/Window.h"
#include "keyboard/MidiOut.h"
#include "keyboard/win/GdiLabelPainter.h"
#include "mainwindow/AppCore.h"
#include "mainwindow/win/DeviceWatch.h"
#include "mainwindow/win/DpiChange.h"
#include "mainwindow/win/TrayShell.h"
#include "mainwindow/win/WindowPointer.h"
#include "mainwindow/win/WindowSizeLimit.h"
#include "services/win/InputThread.h"
#include "services/win/WinAccessHotKeys.h"
#include "services/win/WinHookWatchdog.h"
#include "skin/win/WinSkin.h"

#include <memory>
#include <string>

namespace zevaver {

struct KeysFormOptions {
    // The MIDI library; the platform's when null.
    MidiOut* midiOut = nullptr;
    // The settings store; the user's registry when null.
    SettingsRegistry* registry = nullptr;
    std::string settingsKeyPath = std::string(SettingsKeyPath);
    // The accessibility features' flags; the system's when null.
    AccessSystem* accessSystem = nullptr;
    // The DPI to lay out and draw at whatever the screen's (benchmarks); 0: the screen's.
    int dpi = 0;
};

class TKeysForm final : public fw::WindowBase, private AppHost {
public:
    static constexpr const char* ClassName = "TKeysForm";
    static constexpr const char* Caption = "Zevaver MIDI Keyboard";

    explicit TKeysForm(KeysFormOptions options = {});
    ~TKeysForm() override;

    // Creates the window (hidden), starts the input thread (with the input watch when
    // `watch`; its statuses: Input()) and the core; the copy that watches also switches the
    // accessibility hot keys off until it ends. False when the window or the thread could
    // not be made.
    [[nodiscard]] bool Create(bool watch = false);
    // The shutdown steps: the input thread stopped, then the core's (bounds and fader copied
    // back, settings saved). Runs once; later calls do nothing.
    void FormDestroy();

    [[nodiscard]] AppCore& Core() noexcept { return core_; }
    [[nodiscard]] AppState& State() noexcept { return core_.State(); }
    [[nodiscard]] TKeys& Keys() noexcept { return core_.Keys(); }
    [[nodiscard]] MainMenu& Menu() noexcept { return core_.Menu(); }
    [[nodiscard]] InputThread& Input() noexcept { return input_; }
    // The engine, once every command sent so far has reached it; for reading while no key
    // plays (tests).
    [[nodiscard]] PlayingEngine& SettledEngine() noexcept;
    [[nodiscard]] HWND Velocity() const noexcept { return velocity_; }
    // The skin (none before the core has started) and its Win32 shell.
    [[nodiscard]] TSkin* Skin() noexcept { return core_.Skin(); }
    [[nodiscard]] TWinSkinShell& SkinShell() noexcept { return skinShell_; }

protected:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    void CreateParts(bool watch);
    void CreateVelocityTrackbar();
    void AttachSkinShell();
    void OnPaint();
    void OnPointer(WPARAM kind, LPARAM position);
    static LRESULT CALLBACK VelocityProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                         UINT_PTR id, DWORD_PTR data) noexcept;

    // AppHost.
    fw::PixelSurface* BackBuffer() override;
    void Present(int left, int top, int width, int height) override;
    void Invalidate() override;
    void InvalidateArea(const fw::PixelRect& area) override;
    void CaptureMouse() override;
    void ReleaseMouseCapture() override;
    void SetSkinCursor() override;
    [[nodiscard]] ScreenSize PrimaryScreen() override;
    [[nodiscard]] WindowRect WindowBounds() override;
    void SetWindowBounds(const WindowRect& bounds) override;
    [[nodiscard]] ClientSize ClientArea() override;
    [[nodiscard]] bool IsActive() override;
    [[nodiscard]] bool IsKeyDown(int32_t key) override;
    [[nodiscard]] uint32_t EventTime() override;
    void CloseWindow() override;
    [[nodiscard]] int32_t FaderPosition() override;
    void SetFaderPosition(int32_t position) override;
    void PlaceFader(const WindowRect& bounds, bool vertical) override;
    [[nodiscard]] std::vector<fw::PixelRect> Monitors() override;
    [[nodiscard]] std::vector<fw::PixelRect> WorkAreas() override;
    [[nodiscard]] int WindowDpi() override;
    [[nodiscard]] int DpiAt(const WindowRect& area) override;
    void TrayIcon(const std::string& trayName, TrayAction action) override;
    void SetWindowIcon(const std::string& windowName) override;
    void ShowApplicationWindow(bool shown) override;
    void BringToFront() override;
    void ReportError(const std::string& text) override;
    void ShowPopup(fw::MenuItem& root) override;
    void ShowSettingsDialog(TSettings& settings, const std::function<void()>& layoutChanged,
                            const std::function<void()>& dismissed) override;
    void StartTimer(int id, uint32_t milliseconds) override;
    void StopTimer(int id) override;
    [[nodiscard]] zevaver::SkinShell* Skins() override { return &skinShell_; }
    [[nodiscard]] TextPainter* LabelPainter() override { return &labelPainter_; }
    [[nodiscard]] std::string KeyName(int entry, bool byPosition) override;
    [[nodiscard]] std::optional<std::string> AskLayoutName(const std::string& name) override;
    [[nodiscard]] bool AskReplaceLayout(const std::string& name) override;

    KeysFormOptions options_;
    std::unique_ptr<MidiOut> ownMidiOut_;
    std::unique_ptr<SettingsRegistry> ownRegistry_;
    fw::BackBuffer backBuffer_;
    fw::PixelSurface surface_;
    GdiLabelPainter labelPainter_{backBuffer_};
    HWND velocity_ = nullptr; // a child: the window destroys it
    // The fader's position as last told to the core: whatever moves the thumb is a message
    // through VelocityProc, which tells the core of a change.
    int32_t faderPosition_ = -1;
    TWinSkinShell skinShell_{backBuffer_}; // outlives the core's skin, which uses it
    InputThread input_;                    // runs the core's engine
    std::unique_ptr<WinHookWatchdog> hookWatchdog_;
    WinLayoutFiles layoutFiles_;
    AppCore core_;
    TWindowSizeLimit sizeLimit_{[this] { return core_.MinimumSize(); }};
    std::unique_ptr<TDpiChange> dpiChange_;
    std::unique_ptr<TrayShell> tray_;
    std::unique_ptr<TWindowPointer> pointer_; // title drag, border resize, chrome presses
    std::unique_ptr<DeviceWatch> devices_;    // MIDI outputs that come and go
    fw::PopupMenu popup_;
    std::unique_ptr<AccessHotKeysGuard> hotKeys_;
    bool created_ = false;
    bool destroyed_ = false;
};

} // namespace zevaver

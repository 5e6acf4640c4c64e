// The main window on Linux: the GTK adapter of the application core. It turns GTK's events
// into AppCore calls and does what the core asks of a window (AppHost): painting from the
// portable back buffer (a cairo image surface of the same pixel layout), bounds, the
// velocity trackbar (a GtkScale, shown for skins that want the platform's), the popup menu,
// error boxes and timers. Keys of the whole display reach the engine on the playing thread
// (LinuxInputThread); the window hears only of what the engine publishes.
#pragma once

#include "engine/SettingsStore.h"
#include "engine/linux/LinuxLayoutFiles.h"
#include "framework/linux/GtkPopupMenu.h"
#include "keyboard/MidiOut.h"
#include "keyboard/linux/PangoLabelPainter.h"
#include "keyboard/linux/XkbKeyNames.h"
#include "mainwindow/AppCore.h"
#include "mainwindow/ChromePointer.h"
#include "mainwindow/linux/TrayIndicator.h"
#include "mainwindow/linux/WindowIcons.h"
#include "services/linux/InputThread.h"
#include "services/linux/KeyboardDevices.h"
#include "skin/linux/LinuxSkinFiles.h"

#include <bitset>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

typedef struct _GtkWidget GtkWidget;
typedef struct _GtkWindow GtkWindow;
typedef struct _cairo_surface cairo_surface_t;
typedef struct _cairo_region cairo_region_t;
typedef struct _cairo cairo_t;
typedef union _GdkEvent GdkEvent;

namespace zevaver {

struct KeysWindowOptions {
    // The MIDI library; the platform's (ALSA and JACK) when null.
    MidiOut* midiOut = nullptr;
    // The settings store; the user's INI file when null.
    SettingsRegistry* registry = nullptr;
    std::string settingsKeyPath = std::string(SettingsKeyPath);
    // The data folders (Layouts, Skins), first first; the usual ones when empty.
    std::vector<std::string> dataRoots;
};

class KeysWindow final : private AppHost, private PointerWindow {
public:
    static constexpr const char* Caption = "Zevaver MIDI Keyboard";

    explicit KeysWindow(KeysWindowOptions options = {});
    ~KeysWindow();
    KeysWindow(const KeysWindow&) = delete;
    KeysWindow& operator=(const KeysWindow&) = delete;

    // Makes the window (hidden), starts the playing thread (reading the display's keys when
    // `watch`) and the core. False when the thread could not be made.
    [[nodiscard]] bool Create(bool watch);
    // Shows the window for the first time.
    void Show();
    // The shutdown steps: the playing thread stopped, then the core's (bounds and fader
    // copied back, settings saved). Runs once.
    void Destroy();

    // Called when the window asks to close (the main loop ends there).
    std::function<void()> OnClose;

    [[nodiscard]] AppCore& Core() noexcept { return core_; }
    [[nodiscard]] LinuxInputThread& Input() noexcept { return input_; }
    [[nodiscard]] TrayIndicator& Tray() noexcept { return tray_; }
    [[nodiscard]] GtkWidget* Widget() const noexcept { return window_; }
    // Out of the background and to the front: a later start's hand-over.
    void BringForward();
    // The program's error box.
    void ShowError(const std::string& text) { ReportError(text); }

    // The display is a Wayland compositor's (known once the window is made).
    [[nodiscard]] bool OnWayland() const noexcept { return wayland_; }
    // Where no program may read the keys typed into others: says so, once for good, and
    // reads the keyboards directly if the user chose to.
    void StartWaylandKeys();
    // The display gives no keys typed into other windows: the window's own keys play.
    void PlayOwnKeysOnly() noexcept { ownKeysOnly_ = feedWindowKeys_ = true; }

private:
    class SkinPart;
    friend class KeysWindowEvents;

    [[nodiscard]] MidiOut& Midi() noexcept;
    void MakeWidgets();
    void ResizeBackBuffer(int width, int height);
    void OnDraw(cairo_t* cr);
    void SetActive(bool active);
    [[nodiscard]] GtkWindow* OwnerWindow() const;
    // The user guide shipped with the program, or "".
    [[nodiscard]] std::string GuidePath() const;
    [[nodiscard]] static std::vector<fw::PixelRect> MonitorRects(bool workArea);
    // Values of the Linux program's own in the settings file.
    [[nodiscard]] std::string OwnValue(const std::string& name);
    void StoreOwnValue(const std::string& name, const std::string& value);
    // Reading the keyboards directly: on (reporting a refusal) or off.
    void ReadKeyboards(bool on, bool reportDenied);
    void OpenNewKeyboards(bool reportDenied);
    [[nodiscard]] bool AskReadKeyboards();
    // The window's own keys go to the playing thread where no others come; those it holds
    // are let go when the focus leaves.
    void FeedWindowKey(uint32_t xKeyCode, bool released);
    void LetGoWindowKeys();
    void MakeTray();
    // The tray went away while the window was hidden in it: the window comes back.
    void TrayHostChanged(bool present);
    [[nodiscard]] ScreenPoint PointerOnScreen(bool* leftDown = nullptr);

    // AppHost.
    fw::PixelSurface* BackBuffer() override;
    void Present(int left, int top, int width, int height) override;
    void Invalidate() override;
    void InvalidateArea(const fw::PixelRect& area) override;
    void CaptureMouse() override {}
    void ReleaseMouseCapture() override {}
    void SetSkinCursor() override;
    [[nodiscard]] ScreenSize PrimaryScreen() override;
    [[nodiscard]] WindowRect WindowBounds() override;
    void SetWindowBounds(const WindowRect& bounds) override;
    [[nodiscard]] ClientSize ClientArea() override { return client_; }
    [[nodiscard]] bool IsActive() override { return input_.IsMainWindowActive(); }
    [[nodiscard]] bool IsKeyDown(int32_t key) override { return input_.IsKeyDown(key); }
    [[nodiscard]] uint32_t EventTime() override { return input_.EventTime(); }
    void CloseWindow() override;
    [[nodiscard]] int32_t FaderPosition() override;
    void SetFaderPosition(int32_t position) override;
    void PlaceFader(const WindowRect& bounds, bool vertical) override;
    [[nodiscard]] std::vector<fw::PixelRect> Monitors() override;
    [[nodiscard]] std::vector<fw::PixelRect> WorkAreas() override;
    void TrayIcon(const std::string& trayName, TrayAction action) override;
    void SetWindowIcon(const std::string& windowName) override;
    void ShowApplicationWindow(bool shown) override;
    void BringToFront() override;
    void ReportError(const std::string& text) override;
    void ShowPopup(fw::MenuItem& root) override;
    void ShowSettingsDialog(TSettings& settings, const std::function<void()>& layoutChanged,
                            const std::function<void()>& dismissed) override;
    [[nodiscard]] std::optional<std::string> AskLayoutName(const std::string& name) override;
    [[nodiscard]] bool AskReplaceLayout(const std::string& name) override;
    void StartTimer(int id, uint32_t milliseconds) override;
    void StopTimer(int id) override;
    [[nodiscard]] zevaver::SkinShell* Skins() override;
    [[nodiscard]] TextPainter* LabelPainter() override { return &labelPainter_; }
    [[nodiscard]] std::string KeyName(int entry, bool byPosition) override;

    // PointerWindow.
    [[nodiscard]] fw::PixelRect ScreenBounds() override;
    void MoveWindow(int left, int top) override;
    void SizeWindow(const fw::PixelRect& bounds) override;
    void ShowCursor(ResizeCursor cursor) override;
    void WatchPointer(bool on) override { input_.WatchPointer(on); }
    [[nodiscard]] bool Active() override { return input_.IsMainWindowActive(); }
    [[nodiscard]] bool BeginSystemMove() override;
    [[nodiscard]] bool BeginSystemResize(const ResizeEdges& edges) override;

    KeysWindowOptions options_;
    std::unique_ptr<MidiOut> ownMidiOut_;
    std::unique_ptr<SettingsRegistry> ownRegistry_;
    std::unique_ptr<SkinPart> skin_;
    LinuxLayoutFiles layoutFiles_;
    LinuxInputThread input_;
    AppCore core_;
    ChromePointer pointer_{*this, core_};
    fw::GtkPopupMenu popup_;
    std::string iconFolder_;
    WindowIcons windowIcons_;
    TrayIndicator tray_;
    XkbKeyNames keyNames_;
    KeyboardDevices keyboards_;
    unsigned keyboardsWatch_ = 0;
    bool wayland_ = false;
    bool ownKeysOnly_ = false;    // the display gives no program the keys typed into others
    bool readsKeyboards_ = false; // the user's choice
    bool feedWindowKeys_ = false; // the window's keys are the only ones the thread gets
    std::bitset<256> fedDown_;    // window keys held, by X key code
    PangoLabelPainter labelPainter_{buffer_};

    GtkWidget* window_ = nullptr;
    GtkWidget* overlay_ = nullptr;
    GtkWidget* canvas_ = nullptr;
    GtkWidget* scale_ = nullptr;
    cairo_surface_t* buffer_ = nullptr;
    fw::PixelSurface surface_{};
    cairo_region_t* invalid_ = nullptr; // what the core is still to paint
    ClientSize client_{};
    WindowRect faderBounds_{};
    bool faderShown_ = true;
    int64_t faderColor_ = -1; // behind the trackbar: a colour value, or -1 for the theme's
    bool drawing_ = false;
    bool shownOnce_ = false;
    bool hiddenInTray_ = false;
    int hiddenLeft_ = 0, hiddenTop_ = 0; // where the window was before it went to the tray
    static constexpr unsigned TrayGraceMs = 3000;
    unsigned trayGrace_ = 0; // the wait for a tray that went away to come back
    bool created_ = false;
    bool destroyed_ = false;
    const GdkEvent* event_ = nullptr; // the one being handled, for the popup menu
    std::map<int, unsigned> timers_;
    std::vector<unsigned> sources_;
};

} // namespace zevaver

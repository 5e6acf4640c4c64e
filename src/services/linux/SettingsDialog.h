// The settings dialog on GTK: the six global shortcuts, the layout and the stored
// kill-keystrokes flag, as on Windows, and what Linux adds: starting with the session and,
// on Wayland, reading the keyboards directly. It edits a settings record that it changes
// only on OK (its own position on every close). The shortcut fields record a key with its
// modifiers by the rules of the Windows program's fields (SettingsDlgRules): Tab, Enter and
// Esc belong to the dialog, Backspace and Delete empty a field, modifiers pressed alone
// never erase its shortcut, and Alt with a letter typed into a field is its shortcut, not a
// mnemonic.
#pragma once

#include "engine/Settings.h"
#include "framework/PixelSurface.h"

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

typedef struct _GtkWidget GtkWidget;
typedef struct _GtkWindow GtkWindow;
typedef union _GdkEvent GdkEvent;
typedef struct _GdkEventKey GdkEventKey;

namespace zevaver {

class SettingsDialog {
public:
    static constexpr const char* Caption = "Settings";

    struct Options {
        GtkWindow* owner = nullptr;
        // The names of the files in the layout folders (the user's and the shipped one).
        std::vector<std::string> layoutFiles;
        // The layout playing now: a shortcut without modifiers on one of its keys is warned
        // of. None when null.
        const std::array<uint8_t, 256>* keyNotes = nullptr;
        // A key's name (a US English code of a place) as the user's keyboard prints it.
        std::function<std::string(int key)> keyName;
        // Called after OK changed the layout name in the settings.
        std::function<void()> layoutChanged;
        // Called when the user closes the dialog (OK, Cancel, Esc, the close box).
        std::function<void()> dismissed;
        // The user guide the logo opens ("" for none).
        std::string guidePath;
        // Where the dialog may be placed (monitors' work areas); none leaves it to the
        // window manager.
        std::vector<fw::PixelRect> workAreas;

        // Starting with the session: as it is, and how OK changes it (false: it failed).
        bool startsWithSession = false;
        std::function<bool(bool on)> setStartsWithSession;
        // Reading the keyboards directly (offered on Wayland): as it is, the question asked
        // before it is turned on, and how OK changes it.
        bool offerKeyboardDevices = false;
        bool readsKeyboardDevices = false;
        std::function<bool()> confirmKeyboardDevices;
        std::function<void(bool on)> setReadsKeyboardDevices;
        // A failure to report (the program's error box).
        std::function<void(const std::string& text)> reportError;
    };

    SettingsDialog(TSettings& settings, Options options);
    ~SettingsDialog();
    SettingsDialog(const SettingsDialog&) = delete;
    SettingsDialog& operator=(const SettingsDialog&) = delete;

    // Shows the dialog and returns when it is closed: true for OK.
    bool Run();

    // Builds the dialog without showing it (Run does so first); for tests, which then drive
    // it by its parts.
    void Build();
    [[nodiscard]] GtkWidget* Window() const noexcept { return dialog_; }
    [[nodiscard]] GtkWidget* Field(size_t slot) const noexcept { return fields_[slot]; }
    [[nodiscard]] GtkWidget* Layouts() const noexcept { return layouts_; }
    // The choice to read the keyboards directly, where it is offered.
    [[nodiscard]] GtkWidget* KeyboardDevices() const noexcept { return devices_; }
    [[nodiscard]] GtkWidget* Warning() const noexcept { return warning_; }
    // The hot-key value a field holds.
    [[nodiscard]] uint32_t Held(size_t slot) const noexcept { return held_[slot]; }
    // OK and Default as their buttons do.
    void Ok();
    void Defaults();

private:
    static int KeyDown(GtkWidget*, GdkEventKey* event, void* data);
    static int KeyUp(GtkWidget*, GdkEventKey* event, void* data);
    static int FieldFocusOut(GtkWidget* field, GdkEvent*, void* data);
    static void DevicesToggled(GtkWidget* check, void* data);

    GtkWidget* MakeShortcuts();
    GtkWidget* MakeLogo();
    void Place();
    void FillLayouts();
    [[nodiscard]] int FieldOf(GtkWidget* widget) const noexcept;
    void ShowField(size_t slot, uint32_t hotKey);
    void ShowWarning();
    void OpenGuide();
    void Close(bool ok);

    TSettings& settings_;
    Options options_;
    GtkWidget* dialog_ = nullptr;
    std::array<GtkWidget*, ShortcutCount> fields_{};
    std::array<uint32_t, ShortcutCount> held_{};
    std::vector<std::string> layoutNames_;
    GtkWidget* layouts_ = nullptr;
    GtkWidget* warning_ = nullptr;
    GtkWidget* killKeystrokes_ = nullptr;
    GtkWidget* session_ = nullptr;
    GtkWidget* devices_ = nullptr;
    bool killKeystrokesValue_ = true;
    bool closed_ = false;
    bool settingDevices_ = false;
};

} // namespace zevaver

// The settings dialog: the six global shortcuts, the layout and the hidden kill-keystrokes
// flag, edited on a settings record that it changes only on OK (its own position on every
// close). A standard modal dialog whose controls sit at fixed 96-DPI pixel places scaled
// by the dialog's DPI; the rules it follows live in services/SettingsDlgRules.
#pragma once

#include "engine/Settings.h"
#include "framework/win/Handles.h"
#include "services/win/ShortcutFields.h"

#include <array>
#include <cstdint>
#include <functional>
#include <string>

#include <windows.h>

namespace zevaver {

class TfrmSettings {
public:
    // Control ids; OK and Cancel are the dialog manager's own, so Enter and Esc reach them.
    enum ControlId : int {
        btnOK = IDOK,
        btnCancel = IDCANCEL,
        ShortcutsGroup = 100,
        HotKey1 = 101, // HotKey1 + i edits Shortcuts[i]
        btnDefault = 110,
        chkKillKeystrokes = 111,
        LayoutLabel = 112,
        Layouts = 113,
        Divider = 114,
        Logo = 115,
        PlayingWarning = 116,
        ShortcutsCaption = 117,
        Label1 = 121, // Label1 + i names HotKey1 + i
    };

    // Client size at 96 DPI.
    static constexpr int ClientWidth = 258;
    static constexpr int ClientHeight = 323;

    struct Options {
        // Called after OK changed the layout name in the settings.
        std::function<void()> layoutChanged;
        // Opens an address (UTF-8) with the shell; the platform's "open" action when empty.
        std::function<void(HWND owner, const std::string& address)> openAddress;
        // The logo's pointer ("Skins\Default\Cursor.cur"); the hand when null.
        HCURSOR logoCursor = nullptr;
        // Called when the user closes the dialog (OK, Cancel, Esc, the close box), before it
        // goes.
        std::function<void()> dismissed;
        // The layout playing now: a shortcut without modifiers on one of its keys gets a
        // warning. None when null.
        const std::array<uint8_t, 256>* keyNotes = nullptr;
    };

    // Posted to itself when a field may have changed: the field has its new shortcut once
    // the message that changed it is done.
    static constexpr UINT ShortcutsChanged = WM_APP + 1;

    // Nothing is shown before ShowModal.
    TfrmSettings(HWND owner, TSettings& settings, Options options);
    TfrmSettings(const TfrmSettings&) = delete;
    TfrmSettings& operator=(const TfrmSettings&) = delete;

    // Shows the dialog and returns when it is closed: IDOK, IDCANCEL, or -1 when the window
    // could not be made.
    int ShowModal();

    // The dialog's window while it is shown, else null.
    [[nodiscard]] HWND Handle() const noexcept { return window_; }
    // A 96-DPI length in the dialog's pixels.
    [[nodiscard]] int Scale(int pixels) const noexcept;

private:
    static INT_PTR CALLBACK DialogProc(HWND window, UINT message, WPARAM wParam,
                                       LPARAM lParam) noexcept;
    INT_PTR HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);

    void FormCreate();
    void CreateControls();
    void PlaceWindow();
    void FormShow();
    void FormActivate();
    void btnOKClick();
    // Ends the dialog, first telling the owner it was dismissed.
    void Close(INT_PTR result);
    void btnDefaultClick();
    void ShowPlayingWarning();
    void LogoClick();
    void FormDestroy();
    [[nodiscard]] int TextWidth(HFONT font, const char* text) const;
    void CreateLogoFont(HFONT dialogFont);
    [[nodiscard]] int LogoNameLeft() const noexcept;
    void DrawDivider(const DRAWITEMSTRUCT& item) const;
    void DrawLogo(const DRAWITEMSTRUCT& item) const;

    [[nodiscard]] HWND Control(ControlId id) const noexcept { return GetDlgItem(window_, id); }

    static constexpr const char* LogoName = "Zevaver";
    static constexpr int LogoKeyWidth = 4; // one white key of the logo's piano, at 96 DPI

    HWND owner_;
    TSettings& settings_;
    Options options_;
    HWND window_ = nullptr;
    int dpi_ = 96;
    fw::Font logoFont_;
    ShortcutFields shortcutFields_;
};

} // namespace zevaver

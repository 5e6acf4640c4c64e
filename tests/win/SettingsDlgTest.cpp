// The settings dialog in this process: each test opens it modally on a settings record of
// its own and drives it from a timer inside the dialog's own message loop, in a folder of
// its own with layout files.
#include "services/win/SettingsDlg.h"

#include "framework/win/WidePath.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>

namespace zevaver {

namespace fs = std::filesystem;

namespace {

using Id = TfrmSettings::ControlId;

std::function<void(HWND)> driveDialog;
TfrmSettings* shown = nullptr; // the dialog being shown
bool driven = false;

void CALLBACK Drive(HWND, UINT, UINT_PTR timer, DWORD) noexcept {
    KillTimer(nullptr, timer);
    driven = true;
    if (shown && shown->Handle()) driveDialog(shown->Handle());
}

// Ends a dialog that a failed test left open.
void CALLBACK GiveUp(HWND, UINT, UINT_PTR timer, DWORD) noexcept {
    KillTimer(nullptr, timer);
    if (shown && shown->Handle()) EndDialog(shown->Handle(), -2);
}

class SettingsDlgTest : public ::testing::Test {
protected:
    void SetUp() override {
        folder = fs::temp_directory_path() / "mk-settingsdlg";
        fs::remove_all(folder);
        fs::create_directories(folder / "Layouts");
        for (const char* name : {"Piano.txt", "chromatic.txt", "Single Row.txt", "Old.bak"})
            std::ofstream(folder / "Layouts" / name) << "Z = 48\r\n";
        previous = fs::current_path();
        fs::current_path(folder);
    }
    void TearDown() override {
        fs::current_path(previous);
        std::error_code ignored;
        fs::remove_all(folder, ignored);
    }

    // Opens the dialog, runs drive inside it, and returns how it was closed.
    int Run(std::function<void(HWND)> drive) {
        driveDialog = std::move(drive);
        driven = false;
        TfrmSettings::Options options;
        options.layoutChanged = [this] { ++reloads; };
        options.openAddress = [this](HWND, const std::string& address) {
            opened.push_back(address);
        };
        const UINT_PTR driveTimer = SetTimer(nullptr, 0, 50, &Drive);
        const UINT_PTR giveUpTimer = SetTimer(nullptr, 0, 10000, &GiveUp);
        int result = 0;
        {
            TfrmSettings dialog(nullptr, settings, options);
            shown = &dialog;
            result = dialog.ShowModal();
            EXPECT_EQ(dialog.Handle(), nullptr) << "the window is gone when ShowModal returns";
            shown = nullptr;
        }
        KillTimer(nullptr, driveTimer);
        KillTimer(nullptr, giveUpTimer);
        EXPECT_TRUE(driven);
        return result;
    }

    static void Click(HWND dialog, int id) { SendMessageA(GetDlgItem(dialog, id), BM_CLICK, 0, 0); }
    static void SetField(HWND dialog, int index, WORD value) {
        SendMessageA(GetDlgItem(dialog, Id::HotKey1 + index), HKM_SETHOTKEY, value, 0);
    }
    static WORD Field(HWND dialog, int index) {
        return LOWORD(SendMessageA(GetDlgItem(dialog, Id::HotKey1 + index), HKM_GETHOTKEY, 0, 0));
    }

    fs::path folder, previous;
    TSettings settings;
    int reloads = 0;
    std::vector<std::string> opened;
};

// A control's rectangle in the dialog's client area: left, top, width, height.
RECT Place(HWND dialog, int id) {
    RECT r{};
    GetWindowRect(GetDlgItem(dialog, id), &r);
    MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&r), 2);
    return {r.left, r.top, r.right - r.left, r.bottom - r.top};
}

std::string Text(HWND window) {
    char text[256] = {};
    GetWindowTextA(window, text, sizeof text);
    return text;
}

// The layout list's entries as UTF-8.
std::vector<std::string> ListedLayouts(HWND dialog) {
    HWND layouts = GetDlgItem(dialog, Id::Layouts);
    std::vector<std::string> names;
    for (int i = 0; i < SendMessageW(layouts, CB_GETCOUNT, 0, 0); ++i) {
        wchar_t name[64] = {};
        SendMessageW(layouts, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(name));
        names.push_back(fw::WideToUtf8(name));
    }
    return names;
}

std::string Utf8(const char8_t* text) {
    return reinterpret_cast<const char*>(text);
}

TEST_F(SettingsDlgTest, ItsControlsSitAtTheirPixelsScaledByTheDialogsDpi) {
    settings.Layout = "CHROMATIC";
    settings.KillKeystrokes = false;
    Run([](HWND dialog) {
        auto s = [](int pixels) { return shown->Scale(pixels); };
        EXPECT_EQ(Text(dialog), "Settings");
        RECT client{};
        GetClientRect(dialog, &client);
        EXPECT_EQ(client.right, s(258));
        EXPECT_EQ(client.bottom, s(323));
        EXPECT_FALSE(GetWindowLongPtrA(dialog, GWL_STYLE) & (WS_THICKFRAME | WS_MAXIMIZEBOX));

        struct Expected {
            int id;
            const char* text;
            int left, top, width, height;
        };
        const Expected controls[] = {
            {Id::ShortcutsGroup, "", 5, 7, 248, 202},
            {Id::Label1, "&Enable/disable:", 13, 36, 74, 13},
            {Id::Label1 + 5, "Base octave C&6:", 13, 153, 79, 13},
            {Id::HotKey1, nullptr, 112, 33, 133, 21},
            {Id::HotKey1 + 3, nullptr, 112, 106, 133, 21},
            {Id::btnDefault, "&Default", 169, 176, 75, 24},
            {Id::LayoutLabel, "&Layout:", 132, 216, 35, 13},
            {Id::btnOK, "OK", 14, 265, 75, 24},
            {Id::btnCancel, "Cancel", 94, 265, 75, 24},
            {Id::Divider, "", 5, 296, 248, 3},
            {Id::Logo, "", 184, 303, 68, 15},
        };
        for (const Expected& c : controls) {
            const RECT place = Place(dialog, c.id);
            EXPECT_EQ(place.left, s(c.left)) << c.id;
            EXPECT_EQ(place.top, s(c.top)) << c.id;
            // Labels grow to their text when the font is wider than the places assume,
            // never into the field they name.
            if (c.id >= Id::Label1 || c.id == Id::LayoutLabel) {
                EXPECT_GE(place.right, s(c.width)) << c.id;
                EXPECT_LE(place.left + place.right, s(c.id == Id::LayoutLabel ? 258 : 112)) << c.id;
            } else {
                EXPECT_EQ(place.right, s(c.width)) << c.id;
            }
            EXPECT_EQ(place.bottom, s(c.height)) << c.id;
            if (c.text) {
                EXPECT_EQ(Text(GetDlgItem(dialog, c.id)), c.text);
            }
        }
        EXPECT_EQ(Place(dialog, Id::Layouts).left, s(132));
        EXPECT_EQ(Place(dialog, Id::Layouts).top, s(233));

        // The dialog font at 8 points, on every control.
        auto font = reinterpret_cast<HFONT>(SendMessageA(dialog, WM_GETFONT, 0, 0));
        LOGFONTA logFont{};
        ASSERT_TRUE(GetObjectA(font, sizeof logFont, &logFont));
        EXPECT_EQ(logFont.lfHeight, -MulDiv(8, s(96), 72));
        EXPECT_EQ(reinterpret_cast<HFONT>(
                      SendMessageA(GetDlgItem(dialog, Id::HotKey1), WM_GETFONT, 0, 0)),
                  font);

        HWND kill = GetDlgItem(dialog, Id::chkKillKeystrokes);
        EXPECT_FALSE(IsWindowVisible(kill));
        EXPECT_EQ(SendMessageA(kill, BM_GETCHECK, 0, 0), BST_UNCHECKED);
        EXPECT_EQ(GetFocus(), GetDlgItem(dialog, Id::HotKey1));
        EXPECT_EQ(Field(dialog, 0), MAKEWORD('E', HOTKEYF_CONTROL | HOTKEYF_SHIFT));

        HWND layouts = GetDlgItem(dialog, Id::Layouts);
        std::vector<std::string> names;
        for (int i = 0; i < SendMessageA(layouts, CB_GETCOUNT, 0, 0); ++i) {
            char name[64] = {};
            SendMessageA(layouts, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(name));
            names.push_back(name);
        }
        EXPECT_EQ(names, (std::vector<std::string>{"chromatic", "Piano", "Single Row"}));
        EXPECT_EQ(SendMessageA(layouts, CB_GETCURSEL, 0, 0), 0);
        Click(dialog, Id::btnCancel);
    });
}

// The group's caption lies over the frame's top line with room on either side of its text,
// above the group box, which leaves that place to it; its mnemonic leads to the first field.
TEST_F(SettingsDlgTest, TheShortcutGroupsCaptionShowsWholeOverItsFrame) {
    Run([](HWND dialog) {
        auto s = [](int pixels) { return shown->Scale(pixels); };
        HWND caption = GetDlgItem(dialog, Id::ShortcutsCaption);
        HWND group = GetDlgItem(dialog, Id::ShortcutsGroup);
        EXPECT_EQ(Text(caption), "&Shortcuts (available in any window)");
        EXPECT_EQ(Text(group), "");
        EXPECT_TRUE(GetWindowLongPtrA(group, GWL_STYLE) & WS_CLIPSIBLINGS);

        const auto dc = GetDC(caption);
        const auto font = reinterpret_cast<HFONT>(SendMessageA(caption, WM_GETFONT, 0, 0));
        const HGDIOBJ old = SelectObject(dc, font);
        RECT text{};
        DrawTextA(dc, "&Shortcuts (available in any window)", -1, &text,
                  DT_CALCRECT | DT_SINGLELINE);
        TEXTMETRICA metrics{};
        GetTextMetricsA(dc, &metrics);
        SelectObject(dc, old);
        ReleaseDC(caption, dc);
        const RECT place = Place(dialog, Id::ShortcutsCaption);
        EXPECT_EQ(place.left, s(5 + 8 - 2));
        EXPECT_EQ(place.right, text.right + 2 * s(2)) << "two pixels of room each side";
        EXPECT_EQ(place.top, s(7));
        // The frame's top line runs through the caption's height.
        EXPECT_GT(place.bottom, metrics.tmHeight / 2);

        bool above = false;
        for (HWND w = caption; w; w = GetWindow(w, GW_HWNDNEXT)) above = above || w == group;
        EXPECT_TRUE(above);
        EXPECT_EQ(GetNextDlgTabItem(dialog, caption, FALSE), GetDlgItem(dialog, Id::HotKey1));
        Click(dialog, Id::btnCancel);
    });
}

TEST_F(SettingsDlgTest, OkStoresTheFieldsAndTheListedLayoutNameAndReloadsTheLayout) {
    settings.Layout = "piano";
    settings.KillKeystrokes = false;
    EXPECT_EQ(Run([](HWND dialog) {
                  SetField(dialog, 0, VK_F8);
                  SetField(dialog, 2, 0);
                  SetField(dialog, 5, MAKEWORD(VK_INSERT, HOTKEYF_ALT | HOTKEYF_EXT));
                  Click(dialog, Id::btnOK);
              }),
              IDOK);
    EXPECT_EQ(settings.Shortcuts,
              (std::array<int32_t, 6>{VK_F8, 0x4071, 0, 0x4073, 0x4074, 0x8000 | VK_INSERT}));
    EXPECT_EQ(settings.Layout, "Piano");
    EXPECT_EQ(reloads, 1);
    EXPECT_FALSE(settings.KillKeystrokes);

    // Again, unchanged: the same layout is not loaded twice.
    EXPECT_EQ(Run([](HWND dialog) { Click(dialog, Id::btnOK); }), IDOK);
    EXPECT_EQ(reloads, 1);
    EXPECT_FALSE(settings.KillKeystrokes);
}

TEST_F(SettingsDlgTest, CancelAfterDefaultChangesOnlyTheStoredPosition) {
    settings.Shortcuts = {'A', 'B', 'C', 'D', 'E', 'F'};
    const TSettings before = settings;
    EXPECT_EQ(Run([](HWND dialog) {
                  Click(dialog, Id::btnDefault);
                  EXPECT_EQ(Field(dialog, 0), MAKEWORD('E', HOTKEYF_CONTROL | HOTKEYF_SHIFT));
                  EXPECT_EQ(Field(dialog, 5), MAKEWORD(VK_F6, HOTKEYF_CONTROL));
                  SetWindowPos(dialog, nullptr, 333, 222, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
                  Click(dialog, Id::btnCancel);
              }),
              IDCANCEL);
    EXPECT_EQ(settings.Shortcuts, before.Shortcuts);
    EXPECT_EQ(settings.Layout, before.Layout);
    EXPECT_EQ(reloads, 0);
    EXPECT_EQ(settings.ShortcutsDialogLeft, 333);
    EXPECT_EQ(settings.ShortcutsDialogTop, 222);
}

TEST_F(SettingsDlgTest, TheLogoShowsItsPointerAndOpensTheUserGuideBesideTheProgram) {
    Run([](HWND dialog) {
        HWND logo = GetDlgItem(dialog, Id::Logo);
        SendMessageA(dialog, WM_SETCURSOR, reinterpret_cast<WPARAM>(logo),
                     MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
        EXPECT_EQ(GetCursor(), LoadCursorA(nullptr, IDC_HAND));
        SendMessageA(logo, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2));
        SendMessageA(logo, WM_LBUTTONUP, 0, MAKELPARAM(2, 2));
        Click(dialog, Id::btnCancel);
    });
    char program[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, program, MAX_PATH);
    ASSERT_EQ(opened.size(), 1u);
    EXPECT_EQ(opened[0],
              (fs::path(program).parent_path() / "MIDIKeyboard User Guide.html").string());
}

TEST_F(SettingsDlgTest, LayoutNamesOfAnyScriptAreListedInTheUsersOrderAndCanBeChosen) {
    for (const char8_t* name :
         {u8"zeta", u8"Ärger", u8"émile", u8"Клавиши", u8"Bass 10", u8"Bass 2"})
        std::ofstream(folder / "Layouts" / fs::path(std::u8string(name) + u8".txt"))
            << "Z = 48\r\n";
    settings.Layout = Utf8(u8"кЛАВИШИ");
    EXPECT_EQ(Run([](HWND dialog) {
                  EXPECT_EQ(ListedLayouts(dialog),
                            (std::vector<std::string>{Utf8(u8"Ärger"), "Bass 2", "Bass 10",
                                                      "chromatic", Utf8(u8"émile"), "Piano",
                                                      "Single Row", "zeta", Utf8(u8"Клавиши")}));
                  EXPECT_EQ(SendMessageW(GetDlgItem(dialog, Id::Layouts), CB_GETCURSEL, 0, 0), 8)
                      << "the stored name selects its entry whatever its letter case";
                  Click(dialog, Id::btnOK);
              }),
              IDOK);
    EXPECT_EQ(settings.Layout, Utf8(u8"Клавиши"));
    EXPECT_EQ(reloads, 1);
}

// A dialog left where only a sliver of it shows (a monitor since removed, a smaller
// screen) comes back whole on the screen, its title bar within reach.
TEST_F(SettingsDlgTest, AStoredPositionLeavingLessThanTheTitleBarOnScreenIsMovedOntoIt) {
    RECT work{};
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    settings.ShortcutsDialogLeft = work.right - 10;
    settings.ShortcutsDialogTop = work.bottom - 14;
    Run([work](HWND dialog) {
        RECT bounds{};
        GetWindowRect(dialog, &bounds);
        EXPECT_EQ(bounds.right, work.right);
        EXPECT_EQ(bounds.bottom, work.bottom);
        Click(dialog, Id::btnCancel);
    });
    EXPECT_LT(settings.ShortcutsDialogLeft, work.right - 200);
}

} // namespace

} // namespace zevaver

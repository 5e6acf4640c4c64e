// The settings dialog of the real program: opened with F9 in the main window, driven with
// real keystrokes, and judged by what the next keystrokes play and what is stored.
#include "ProgramUnderTest.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>

namespace zevaver {

namespace {

using e2e::NoteOff;
using e2e::NoteOn;
using e2e::ProgramUnderTest;
using Messages = std::vector<uint32_t>;

class SettingsDialog : public ::testing::Test {
protected:
    // A first run creates every stored value; the test's own are written over them.
    void StartWith(const std::map<std::string, std::string>& values = {}) {
        e2e::ForgetSettings();
        ASSERT_TRUE(program.Start());
        program.Close();
        for (const auto& [name, value] : values) e2e::StoreSetting(name, value);
        ASSERT_TRUE(program.Start());
        program.ClearMidiLog();
    }
    HWND Dialog() const {
        return e2e::FindProcessWindow(program.ProcessId(), [](HWND window) {
            return IsWindowVisible(window) && e2e::WindowTitle(window) == "Settings";
        });
    }
    // F9 in the main window; the dialog's first field then has the focus.
    HWND OpenWithF9() {
        SetForegroundWindow(program.MainWindow());
        program.Settle(300);
        e2e::Tap(VK_F9);
        for (int i = 0; i < 100; ++i) {
            if (HWND dialog = Dialog()) {
                program.Settle(300);
                return dialog;
            }
            program.Settle(50);
        }
        return nullptr;
    }
    bool WaitClosed() {
        for (int i = 0; i < 100 && Dialog(); ++i) program.Settle(50);
        program.Settle(200);
        return Dialog() == nullptr;
    }
    // Taps keys and returns the notes they played. The main window is in front again after
    // the dialog, so the shortcuts used are keys it has no command of its own for.
    Messages Play(std::initializer_list<WORD> keys, size_t expected) {
        for (WORD key : keys) {
            e2e::Tap(key);
            program.Settle(100);
        }
        program.WaitForShortMessages(expected, 3000);
        program.Settle(300);
        return program.ShortMessages();
    }

    // A combination: the modifier held while the key is tapped.
    static void Chord(WORD modifier, WORD key) {
        e2e::KeyDown(modifier);
        e2e::Tap(key);
        e2e::KeyUp(modifier);
    }
    static void Tabs(int count) {
        for (int i = 0; i < count; ++i) e2e::Tap(VK_TAB);
    }
    // OK, then the stored shortcuts once the program has ended.
    std::vector<std::string> OkAndStoredShortcuts() {
        program.Settle(200);
        e2e::Tap(VK_RETURN);
        EXPECT_TRUE(WaitClosed());
        program.Close();
        std::vector<std::string> stored;
        for (const char* slot : {"Switch Enabled", "Base Octave C2", "Base Octave C3",
                                 "Base Octave C4", "Base Octave C5", "Base Octave C6"})
            stored.push_back(e2e::StoredSetting(std::string("Shortcut ") + slot));
        return stored;
    }

    ProgramUnderTest program{"SettingsDialog"};
};

// The base octave C5 shortcut starts as F8 and is edited in its field, the fifth.
constexpr const char* C5Shortcut = "Shortcut Base Octave C5";

TEST_F(SettingsDialog, AShortcutTypedIntoAFieldAndOkDecidesWhichKeystrokeFiresTheCommand) {
    StartWith({{C5Shortcut, "119"}}); // F8
    ASSERT_NE(OpenWithF9(), nullptr);
    for (int i = 0; i < 4; ++i) e2e::Tap(VK_TAB);
    e2e::Tap(VK_F7); // alone, no modifier
    program.Settle(200);
    e2e::Tap(VK_RETURN);
    ASSERT_TRUE(WaitClosed());

    // X is D (50) at base octave C4 and 62 at C5: F8 no longer moves it, F7 does.
    EXPECT_EQ(Play({VK_F8, 'X', VK_F7, 'X'}, 4),
              (Messages{NoteOn(50), NoteOff(50), NoteOn(62), NoteOff(62)}));
    program.Close();
    EXPECT_EQ(e2e::StoredSetting(C5Shortcut), "118");
}

TEST_F(SettingsDialog, F9OpensItAtTheStoredPositionAndCancelChangesNothingButThePosition) {
    StartWith(
        {{C5Shortcut, "119"}, {"Shortcuts Dialog Left", "300"}, {"Shortcuts Dialog Top", "200"}});
    HWND dialog = OpenWithF9();
    ASSERT_NE(dialog, nullptr);
    RECT bounds{};
    GetWindowRect(dialog, &bounds);
    EXPECT_EQ(bounds.left, 300);
    EXPECT_EQ(bounds.top, 200);
    for (int i = 0; i < 4; ++i) e2e::Tap(VK_TAB);
    e2e::Tap(VK_F7);
    SetWindowPos(dialog, nullptr, 410, 320, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    program.Settle(200);
    e2e::Tap(VK_ESCAPE);
    ASSERT_TRUE(WaitClosed());

    EXPECT_EQ(Play({VK_F7, 'X', VK_F8, 'X'}, 4),
              (Messages{NoteOn(50), NoteOff(50), NoteOn(62), NoteOff(62)}));
    program.Close();
    EXPECT_EQ(e2e::StoredSetting(C5Shortcut), "119");
    EXPECT_EQ(e2e::StoredSetting("Shortcuts Dialog Left"), "410");
    EXPECT_EQ(e2e::StoredSetting("Shortcuts Dialog Top"), "320");
}

TEST_F(SettingsDialog, AnotherLayoutChangesTheNotesTheKeysPlayAtOnce) {
    StartWith();
    ASSERT_NE(OpenWithF9(), nullptr);
    // Six fields and "Default" lie before the layout list.
    for (int i = 0; i < 7; ++i) e2e::Tap(VK_TAB);
    e2e::Tap('C'); // Chromatic, the first name with a C
    program.Settle(200);
    e2e::Tap(VK_RETURN);
    ASSERT_TRUE(WaitClosed());

    // X is D (50) in the Piano layout and C sharp (49) in the Chromatic one.
    EXPECT_EQ(Play({'X'}, 2), (Messages{NoteOn(49), NoteOff(49)}));
    program.Close();
    EXPECT_EQ(e2e::StoredSetting("Layout"), "Chromatic");
}

// Ctrl pressed and let go in the C4 field, Shift+Tab out of the C5 field: both keep their
// shortcuts. The C6 field, left by Shift+Tab, takes F7 alone when it has the focus again.
TEST_F(SettingsDialog, ModifiersPressedAloneInAFieldNeverEraseItsShortcut) {
    StartWith({{C5Shortcut, "119"}}); // F8
    ASSERT_NE(OpenWithF9(), nullptr);
    Tabs(3);
    e2e::Tap(VK_CONTROL);
    Tabs(1);
    Chord(VK_SHIFT, VK_TAB);
    Tabs(2);
    Chord(VK_SHIFT, VK_TAB);
    Tabs(1);
    e2e::Tap(VK_F7);
    EXPECT_EQ(OkAndStoredShortcuts(),
              (std::vector<std::string>{"24645", "16497", "16498", "16499", "119", "118"}));
}

// Alt+D and Alt+6 typed into fields are their shortcuts, not the "Default" button and the
// C6 label; from the layout list Alt+5 still moves to the C5 field.
TEST_F(SettingsDialog, EveryCombinationIsTheFieldsShortcutAndMnemonicsWorkFromTheOtherControls) {
    StartWith({{C5Shortcut, "119"}});
    ASSERT_NE(OpenWithF9(), nullptr);
    Chord(VK_MENU, 'D');
    Tabs(1);
    Chord(VK_MENU, '6');
    Tabs(1);
    e2e::Tap(VK_F7);
    Tabs(5); // C4, C5, C6, "Default", the layout list
    Chord(VK_MENU, '5');
    e2e::Tap(VK_F11);
    EXPECT_EQ(OkAndStoredShortcuts(),
              (std::vector<std::string>{"32836", "32822", "118", "16499", "122", "16501"}));
}

// Cyrillic letters, which no Western code page holds: the name is listed (last, after the
// Latin ones), chosen, stored, and its file loaded again at the next start.
TEST_F(SettingsDialog, ALayoutNamedOutsideTheCodePageIsChosenStoredAndLoadedAgain) {
    const std::u8string name = u8"Клавиши";
    std::ofstream(program.ProgramFolder() / "Layouts" / std::filesystem::path(name + u8".txt"),
                  std::ios::binary)
        << "X = 72\r\n";
    StartWith();
    ASSERT_NE(OpenWithF9(), nullptr);
    Tabs(7);
    e2e::Tap(VK_END);
    program.Settle(200);
    e2e::Tap(VK_RETURN);
    ASSERT_TRUE(WaitClosed());

    EXPECT_EQ(Play({'X'}, 2), (Messages{NoteOn(72), NoteOff(72)}));
    program.Close();
    EXPECT_EQ(e2e::StoredSetting("Layout"), reinterpret_cast<const char*>(name.c_str()));
    ASSERT_TRUE(program.Start());
    program.ClearMidiLog();
    EXPECT_EQ(Play({'X'}, 2), (Messages{NoteOn(72), NoteOff(72)}));
}

} // namespace

} // namespace zevaver

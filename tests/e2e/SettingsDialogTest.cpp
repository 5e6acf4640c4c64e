// The settings dialog of the real program: opened with F9 in the main window, driven with
// real keystrokes, and judged by what the next keystrokes play and what is stored.
#include "ProgramUnderTest.h"

#include <gtest/gtest.h>

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

} // namespace

} // namespace zevaver

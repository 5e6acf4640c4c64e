// The Linux program's dialogs, driven with real keystrokes through the display and judged
// by what the next keystrokes play and what is stored: the settings dialog records a
// shortcut that then works from another window, and a layout saved under a new name is
// listed there and plays after a restart.
#include <gtest/gtest.h>

#include "support/ProgramRun.h"
#include "support/ProgramTest.h"
#include "support/XSession.h"

#include <fstream>
#include <sstream>

namespace zevaver {

namespace {

using namespace linuxtest;

constexpr const char* Title = "Zevaver MIDI Keyboard";
constexpr unsigned KeyTab = 15, KeyEsc = 1, KeyF7 = 65, KeyF8 = 66, KeyF9 = 67, KeyHome = 102,
                   KeyEnd = 107, KeyA = 30, KeyMenu = 127;
constexpr uint8_t NoteOn = 0x90;

class LinuxDialogs : public ProgramTest {
protected:
    Window Start() {
        const Window window = x_.Await(Title);
        EXPECT_NE(window, 0u);
        EXPECT_TRUE(recorder_.AwaitConnection());
        return window;
    }
    // The Settings dialog, opened with F9 in the window.
    Window OpenSettings(Window window) {
        x_.Focus(window);
        XSession::Pause(200);
        x_.Tap(KeyF9);
        return AwaitDialog("Settings");
    }
    // The dialog of this title, opened and given the keys.
    Window AwaitDialog(const char* title) {
        const Window dialog = x_.Await(title);
        if (dialog) {
            XSession::Pause(300);
            x_.Focus(dialog);
            XSession::Pause(200);
        }
        return dialog;
    }
    void Tabs(int count) {
        for (int i = 0; i < count; ++i) {
            x_.Tap(KeyTab);
            XSession::Pause(50);
        }
    }
    // The note numbers the taps played (their note-ons), from another window.
    std::vector<int> Play(std::initializer_list<unsigned> keys, size_t notes) {
        x_.FocusOwnWindow();
        XSession::Pause(100);
        recorder_.Clear();
        for (const unsigned key : keys) {
            x_.Tap(key);
            XSession::Pause(100);
        }
        std::vector<int> played;
        for (const RecordedEvent& event : recorder_.AwaitEvents(notes * 2))
            if ((event.status & 0xF0) == NoteOn && event.data2 > 0) played.push_back(event.data1);
        return played;
    }
};

TEST_F(LinuxDialogs, AShortcutRecordedInTheSettingsDialogWorksFromAnotherWindow) {
    TestHome home("settings");
    home.StoreSettings({{"Shortcut Base Octave C5", "119"}, // F8
                        {"Shortcuts Dialog Left", "300"},
                        {"Shortcuts Dialog Top", "200"}});
    ProgramRun program(home);
    const Window dialog = OpenSettings(Start());
    ASSERT_NE(dialog, 0u) << "F9 opens the settings";
    const XSession::Geometry at = x_.WindowGeometry(dialog);
    EXPECT_EQ(at.x, 300);
    EXPECT_EQ(at.y, 200);
    // The C5 field, the fifth: F7 alone; Ctrl pressed and let go keeps it.
    Tabs(4);
    x_.Tap(KeyF7);
    x_.Tap(KeyLeftCtrl);
    x_.Tap(KeyReturn);
    ASSERT_TRUE(x_.AwaitGone("Settings"));

    // X is D (50) at base octave C4 and 62 at C5: F8 no longer moves it, F7 does.
    EXPECT_EQ(Play({KeyF8, KeyX, KeyF7, KeyX}, 2), (std::vector<int>{50, 62}));
    EXPECT_EQ(program.Close(), 0);
    EXPECT_EQ(home.Setting("Shortcut Base Octave C5"), "118");
    EXPECT_EQ(home.Setting("Kill Keystrokes"), "Yes") << "kept as it was";
}

TEST_F(LinuxDialogs, CancelAndEscChangeNothingButTheDialogsPlace) {
    TestHome home("cancel");
    home.StoreSettings({{"Shortcut Base Octave C5", "119"}});
    ProgramRun program(home);
    const Window dialog = OpenSettings(Start());
    ASSERT_NE(dialog, 0u);
    Tabs(4);
    x_.Tap(KeyF7);
    XMoveWindow(x_.Get(), dialog, 410, 320);
    XSync(x_.Get(), False);
    XSession::Pause(200);
    x_.Tap(KeyEsc);
    ASSERT_TRUE(x_.AwaitGone("Settings"));
    EXPECT_EQ(Play({KeyF8, KeyX}, 1), (std::vector<int>{62}));
    EXPECT_EQ(program.Close(), 0);
    EXPECT_EQ(home.Setting("Shortcut Base Octave C5"), "119");
    EXPECT_EQ(home.Setting("Shortcuts Dialog Left"), "410");
    EXPECT_EQ(home.Setting("Shortcuts Dialog Top"), "320");
}

TEST_F(LinuxDialogs, ALayoutSavedUnderANewNameIsListedAndPlaysAfterARestart) {
    TestHome home("save-as");
    home.StoreSettings({{"Layout", "Piano"}});
    const std::string file = home.Root() + "/data/zevaver-midi-keyboard/Layouts/zz.txt";
    {
        ProgramRun program(home);
        const Window window = Start();
        // "Save layout as..." from the menu, by its mnemonic; the name replaces "Piano".
        x_.Focus(window);
        XSession::Pause(200);
        x_.Tap(KeyMenu);
        XSession::Pause(400);
        x_.Tap(KeyA);
        ASSERT_NE(AwaitDialog("Save layout as"), 0u);
        x_.Tap(KeyZ);
        x_.Tap(KeyZ);
        x_.Tap(KeyReturn);
        ASSERT_TRUE(x_.AwaitGone("Save layout as"));
        XSession::Pause(200);
        ASSERT_TRUE(std::ifstream(file).good()) << "the new layout's file";

        // Listed: the last of the sorted names, after the shipped ones.
        ASSERT_NE(OpenSettings(window), 0u);
        Tabs(7); // six fields and "Default"
        x_.Tap(KeyHome);
        x_.Tap(KeyEnd);
        XSession::Pause(100);
        // Back to the last field, where Enter is OK (the list would open on it).
        x_.Key(KeyLeftShift, true);
        Tabs(2);
        x_.Key(KeyLeftShift, false);
        x_.Tap(KeyReturn);
        ASSERT_TRUE(x_.AwaitGone("Settings"));
        EXPECT_EQ(program.Close(), 0);
    }
    EXPECT_EQ(home.Setting("Layout"), "zz");
    // Q plays 60 in the copy; the copy is changed so that a restart shows which one plays.
    std::stringstream text;
    text << std::ifstream(file).rdbuf();
    std::string layout = text.str();
    const size_t q = layout.find("\nQ = 60");
    ASSERT_NE(q, std::string::npos);
    layout.replace(q, 7, "\nQ = 72");
    std::ofstream(file) << layout;

    ProgramRun again(home);
    Start();
    EXPECT_EQ(Play({KeyQ}, 1), (std::vector<int>{72}));
    EXPECT_EQ(again.Close(), 0);
}

} // namespace

} // namespace zevaver

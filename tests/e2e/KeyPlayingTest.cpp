// The real program and the real hook library under Wine, played from the computer
// keyboard while another window has the focus: the exact note messages recorded.
#include "ProgramUnderTest.h"

#include <gtest/gtest.h>

#include <map>

namespace zevaver {

namespace {

using e2e::NoteOff;
using e2e::NoteOn;
using e2e::ProgramUnderTest;

// The shipped Piano layout: Z X C on the lower row are C, D, E from note 48, S is C sharp.
constexpr WORD KeyZ = 'Z';
constexpr WORD KeyX = 'X';
constexpr WORD KeyQ = 'Q';

using Messages = std::vector<uint32_t>;

class KeyPlaying : public ::testing::Test {
protected:
    // Starts from stored settings: a first run creates all values, then the test's own
    // values are written over them.
    void StartWith(const std::map<std::string, std::string>& values = {}) {
        e2e::ForgetSettings();
        if (!values.empty()) {
            ASSERT_TRUE(program.Start());
            program.Close();
            for (const auto& [name, value] : values) e2e::StoreSetting(name, value);
        }
        ASSERT_TRUE(program.Start());
        program.ClearMidiLog();
        foreign.Activate();
        program.Settle(300);
    }
    Messages Played(size_t expected) {
        program.WaitForShortMessages(expected, 3000);
        program.Settle(300); // anything more that would arrive
        return program.ShortMessages();
    }

    ProgramUnderTest program{"KeyPlaying"};
    e2e::ForeignWindow foreign;
};

TEST_F(KeyPlaying, AHeldKeyGivesOneNoteOnAndOneNoteOffWhateverItsAutoRepeats) {
    StartWith();
    e2e::KeyDown(KeyZ);
    for (int i = 0; i < 4; ++i) e2e::KeyDown(KeyZ); // auto-repeats
    e2e::KeyUp(KeyZ);
    EXPECT_EQ(Played(2), (Messages{NoteOn(48), NoteOff(48)}));
}

TEST_F(KeyPlaying, AKeyUpEndsTheNoteOfItsOwnKeyDownAcrossAnOctaveShortcut) {
    StartWith();
    e2e::KeyDown(KeyZ);
    e2e::KeyDown(VK_CONTROL);
    e2e::Tap(VK_F5); // base octave C5
    e2e::KeyUp(VK_CONTROL);
    e2e::KeyUp(KeyZ);
    e2e::Tap(KeyZ);
    EXPECT_EQ(Played(4), (Messages{NoteOn(48), NoteOff(48), NoteOn(60), NoteOff(60)}));
}

TEST_F(KeyPlaying, PageUpInTheMainWindowEndsTheHeldNoteAndTransposes) {
    StartWith();
    SetForegroundWindow(program.MainWindow());
    program.Settle(300);
    ASSERT_EQ(GetForegroundWindow(), program.MainWindow());
    // The watched key and the window's own key messages travel different roads; a
    // player's pace keeps them in order.
    e2e::KeyDown(KeyZ);
    program.Settle(200);
    e2e::KeyDown(VK_PRIOR, 0, true); // Page Up, the extended key beside Insert
    e2e::KeyUp(VK_PRIOR, 0, true);
    program.Settle(200);
    e2e::KeyUp(KeyZ); // finds nothing sounding under the new numbers
    e2e::Tap(KeyZ);
    EXPECT_EQ(Played(4), (Messages{NoteOn(48), NoteOff(48), NoteOn(49), NoteOff(49)}));
}

TEST_F(KeyPlaying, CtrlAsThePedalSustainsUntilItGoesUp) {
    StartWith({{"Pedal Key", "17"}});
    e2e::KeyDown(VK_CONTROL);
    e2e::Tap(KeyZ);
    e2e::Tap(KeyX);
    program.Settle(200);
    EXPECT_EQ(program.ShortMessages(), (Messages{NoteOn(48), NoteOn(50)}));
    e2e::KeyUp(VK_CONTROL);
    EXPECT_EQ(Played(4), (Messages{NoteOn(48), NoteOn(50), NoteOff(48), NoteOff(50)}));
}

TEST_F(KeyPlaying, ShiftAsThePedalSustainsUntilItGoesUp) {
    StartWith({{"Pedal Key", "16"}});
    e2e::KeyDown(VK_SHIFT);
    e2e::Tap(KeyX);
    program.Settle(200);
    EXPECT_EQ(program.ShortMessages(), (Messages{NoteOn(50)}));
    e2e::KeyUp(VK_SHIFT);
    EXPECT_EQ(Played(2), (Messages{NoteOn(50), NoteOff(50)}));
}

TEST_F(KeyPlaying, CtrlBlocksNotesWhenItIsNotThePedal) {
    StartWith();
    e2e::KeyDown(VK_CONTROL);
    e2e::Tap(KeyQ);
    e2e::KeyUp(VK_CONTROL);
    e2e::Tap(KeyZ);
    EXPECT_EQ(Played(2), (Messages{NoteOn(48), NoteOff(48)}));
}

TEST_F(KeyPlaying, AShortcutOnAMappedKeyRunsTheShortcutAndPlaysNothing) {
    StartWith({{"Shortcut Base Octave C5", std::to_string(KeyZ)}});
    e2e::Tap(KeyZ); // base octave C5, no note
    e2e::Tap(KeyX);
    EXPECT_EQ(Played(2), (Messages{NoteOn(62), NoteOff(62)}));
}

TEST_F(KeyPlaying, SwitchedOffKeysPlayOnlyInTheMainWindowAndTheShortcutSwitchesThemOn) {
    StartWith({{"Enabled", "No"}});
    e2e::Tap(KeyZ); // another application is active: nothing
    program.Settle(200);
    EXPECT_TRUE(program.ShortMessages().empty());

    SetForegroundWindow(program.MainWindow());
    program.Settle(300);
    e2e::Tap(KeyX); // the main window itself is active: plays
    ASSERT_TRUE(program.WaitForShortMessages(2));

    foreign.Activate();
    program.Settle(300);
    e2e::KeyDown(VK_CONTROL);
    e2e::KeyDown(VK_SHIFT);
    e2e::Tap('E'); // Ctrl+Shift+E switches playing on
    e2e::KeyUp(VK_SHIFT);
    e2e::KeyUp(VK_CONTROL);
    e2e::Tap(KeyZ);
    EXPECT_EQ(Played(4), (Messages{NoteOn(50), NoteOff(50), NoteOn(48), NoteOff(48)}));
    EXPECT_EQ(program.Close(), 0);
    EXPECT_EQ(e2e::StoredSetting("Enabled"), "Yes");
}

TEST_F(KeyPlaying, ACtrlReleaseTheHookNeverSawStopsBlockingAfterAQuietSpell) {
    StartWith();
    // Ctrl reported down, and its release lost as on another desktop.
    const HWND receiver = e2e::WatchReceiver(program.ProcessId());
    ASSERT_NE(receiver, nullptr);
    PostMessageA(receiver, RegisterWindowMessageA("WATCH_KEY_EVENT"), VK_CONTROL, 0x001D0001);
    program.Settle(100);
    e2e::Tap(KeyZ); // blocked: Ctrl counts as held
    program.Settle(800);
    e2e::Tap(KeyX); // the key state is read back first: Ctrl is up
    EXPECT_EQ(Played(2), (Messages{NoteOn(50), NoteOff(50)}));
}

TEST_F(KeyPlaying, CtrlAsThePedalHeldThroughAQuietSpellStillSustains) {
    StartWith({{"Pedal Key", "17"}});
    e2e::KeyDown(VK_CONTROL);
    e2e::Tap(KeyZ);
    program.Settle(800);
    e2e::Tap(KeyX);
    program.Settle(200);
    EXPECT_EQ(program.ShortMessages(), (Messages{NoteOn(48), NoteOn(50)}));
    e2e::KeyUp(VK_CONTROL);
    EXPECT_EQ(Played(4), (Messages{NoteOn(48), NoteOn(50), NoteOff(48), NoteOff(50)}));
}

} // namespace

} // namespace zevaver

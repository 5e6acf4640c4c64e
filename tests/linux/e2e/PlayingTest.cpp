// The real Linux program under the virtual display with a JACK server of the tests' own:
// keys typed through XTest while a window of the tests' own has the focus play through JACK
// into the recorder, random keystrokes leave no note sounding, the settings survive a
// restart, and a later start hands over to the running copy.
#include <gtest/gtest.h>

#include "support/ProgramRun.h"
#include "support/ProgramTest.h"
#include "support/XSession.h"

#include <map>
#include <random>

namespace zevaver {

namespace {

using namespace linuxtest;

constexpr const char* Title = "Zevaver MIDI Keyboard";
constexpr uint8_t NoteOn = 0x90, NoteOff = 0x80;

class LinuxPlaying : public ProgramTest {
protected:
    // Starts the program and waits until its window shows and its port reaches the
    // recorder, which, as the only MIDI input there is, it plays to unasked.
    Window Start(ProgramRun& program) {
        const Window window = x_.Await(Title);
        EXPECT_NE(window, 0u) << "no window";
        EXPECT_TRUE(recorder_.AwaitConnection()) << "the program's port never reached the recorder";
        EXPECT_TRUE(program.Running());
        return window;
    }

    // A tap of the key, and the two events it should record.
    std::vector<RecordedEvent> Play(unsigned key, size_t expected = 2) {
        recorder_.Clear();
        x_.Tap(key);
        return recorder_.AwaitEvents(expected);
    }
};

TEST_F(LinuxPlaying, KeysTypedWhileAnotherWindowHasTheFocusPlayThroughJack) {
    TestHome home("focus");
    ProgramRun program(home);
    const Window window = Start(program);
    const Window own = x_.FocusOwnWindow();
    ASSERT_EQ(x_.FocusedWindow(), own);
    ASSERT_NE(own, window);

    const std::vector<RecordedEvent> q = Play(KeyQ);
    ASSERT_EQ(q.size(), 2u);
    EXPECT_EQ(q[0].status, NoteOn);
    EXPECT_EQ(q[0].data1, 60) << "Q is the upper octave's C";
    EXPECT_EQ(q[0].data2, 127) << "the fader at the top is the loudest";
    EXPECT_EQ(q[1].status, NoteOff);
    EXPECT_EQ(q[1].data1, 60);
    const std::vector<RecordedEvent> z = Play(KeyZ);
    ASSERT_EQ(z.size(), 2u);
    EXPECT_EQ(z[0].data1, 48);
    // The keys went to the focused window as well: nothing was grabbed.
    EXPECT_EQ(x_.OwnKeyPresses(), 2);
    EXPECT_EQ(x_.FocusedWindow(), own);
    EXPECT_EQ(program.Close(), 0);
}

TEST_F(LinuxPlaying, AShortcutTypedInAnotherProgramMovesTheOctaveAndIsKept) {
    TestHome home("shift");
    ProgramRun program(home);
    Start(program);
    x_.FocusOwnWindow();
    // Ctrl+F5: the base octave C5 from any program.
    x_.Key(KeyLeftCtrl, true);
    x_.Tap(KeyF5);
    x_.Key(KeyLeftCtrl, false);
    XSession::Pause(100);
    const std::vector<RecordedEvent> q = Play(KeyQ);
    ASSERT_EQ(q.size(), 2u);
    EXPECT_EQ(q[0].data1, 72);
    EXPECT_EQ(program.Close(), 0);
    EXPECT_EQ(home.Setting("Base Octave"), "12");
}

TEST_F(LinuxPlaying, SettingsSurviveARestart) {
    TestHome home("restart");
    home.StoreSettings(
        {{"Base Octave", "-12"}, {"Velocity", "40"}, {"Left", "300"}, {"Top", "200"}});
    {
        ProgramRun program(home);
        const Window window = Start(program);
        const XSession::Geometry at = x_.WindowGeometry(window);
        EXPECT_EQ(at.x, 300);
        EXPECT_EQ(at.y, 200);
        x_.FocusOwnWindow();
        const std::vector<RecordedEvent> q = Play(KeyQ);
        ASSERT_EQ(q.size(), 2u);
        EXPECT_EQ(q[0].data1, 48) << "base octave C3";
        EXPECT_EQ(q[0].data2, 87) << "127 minus the fader's 40";
        EXPECT_EQ(program.Close(), 0);
    }
    for (const char* name : {"Skin", "Layout", "Width", "Height", "Device Name", "Key Names"})
        EXPECT_NE(home.Settings().find(std::string(name) + "="), std::string::npos) << name;
    EXPECT_EQ(home.Setting("Velocity"), "40");
    EXPECT_EQ(home.Setting("Left"), "300");
    EXPECT_EQ(home.Setting("Device Name"), "recorder:in (JACK)");
    ProgramRun again(home);
    Start(again);
    x_.FocusOwnWindow();
    const std::vector<RecordedEvent> q = Play(KeyQ);
    ASSERT_EQ(q.size(), 2u);
    EXPECT_EQ(q[0].data1, 48);
    EXPECT_EQ(q[0].data2, 87);
    EXPECT_EQ(again.Close(), 0);
}

TEST_F(LinuxPlaying, RandomKeystrokesThroughTheDisplayLeaveNoNoteSounding) {
    TestHome home("random");
    ProgramRun program(home);
    Start(program);
    x_.FocusOwnWindow();
    // Mapped keys, the two Shift keys (both play and hold the pedal's place), Ctrl and Alt.
    const unsigned keys[] = {16, 17, 18, 19, 20, 21, 22, 23, 3,  4,  6,  7, 44,
                             45, 46, 47, 48, 31, 32, 34, 35, 42, 54, 29, 56};
    std::mt19937 random(33);
    recorder_.Clear();
    for (int round = 0; round < 10; ++round) {
        std::map<unsigned, bool> down;
        for (int step = 0; step < 60; ++step) {
            const unsigned key = keys[random() % std::size(keys)];
            const bool press = !down[key];
            x_.Key(key, press);
            down[key] = press;
            XSession::Pause(static_cast<int>(random() % 4));
        }
        for (const auto& [key, held] : down)
            if (held) x_.Key(key, false);
        XSession::Pause(150);
        // Every note that started has ended, as often as it started.
        std::map<int, int> sounding;
        for (const RecordedEvent& event : recorder_.Take()) {
            const int note = (event.status & 0x0F) * 128 + event.data1;
            if ((event.status & 0xF0) == NoteOn && event.data2 > 0) ++sounding[note];
            if ((event.status & 0xF0) == NoteOff) --sounding[note];
        }
        for (const auto& [note, count] : sounding)
            EXPECT_EQ(count, 0) << "round " << round << ": note " << note % 128;
    }
    EXPECT_GT(recorder_.Take().size(), 50u);
    EXPECT_EQ(program.Close(), 0);
}

TEST_F(LinuxPlaying, TheMouseOnTheKeysPlaysLouderTheDeeperItPresses) {
    TestHome home("mouse");
    home.StoreSettings({{"Left", "100"}, {"Top", "500"}});
    ProgramRun program(home);
    const Window window = Start(program);
    const XSession::Geometry at = x_.WindowGeometry(window);
    recorder_.Clear();
    // The same white key, low on it and high on it (below the black keys' ends).
    const int keyX = at.x + 60 + 8;
    for (const int depth : {at.height - 12, at.height - 40}) {
        x_.MovePointer(keyX, at.y + depth);
        XSession::Pause(50);
        x_.Button(1, true);
        XSession::Pause(50);
        x_.Button(1, false);
        XSession::Pause(50);
    }
    const std::vector<RecordedEvent> events = recorder_.AwaitEvents(4);
    ASSERT_EQ(events.size(), 4u);
    EXPECT_EQ(events[0].status, NoteOn);
    EXPECT_EQ(events[1].status, NoteOff);
    EXPECT_EQ(events[2].data1, events[0].data1) << "the same key";
    EXPECT_GT(events[0].data2, events[2].data2) << "deeper is louder";
    EXPECT_EQ(program.Close(), 0);
}

TEST_F(LinuxPlaying, ASecondStartHandsOverAndBringsTheBackgroundCopyForward) {
    TestHome home("instance");
    ProgramRun first(home, {"--minimized"});
    EXPECT_TRUE(recorder_.AwaitConnection());
    XSession::Pause(300);
    EXPECT_EQ(x_.Find(Title), 0u) << "a start in the background shows no window";
    ProgramRun second(home, {"/M"});
    EXPECT_EQ(second.AwaitExit(10000), 0) << "the later start ends once it has handed over";
    EXPECT_NE(x_.Await(Title), 0u) << "the running copy came forward";
    EXPECT_TRUE(first.Running());
    // The running copy still plays, alone.
    x_.FocusOwnWindow();
    EXPECT_EQ(Play(KeyQ).size(), 2u);
    EXPECT_EQ(first.Close(), 0);
}

} // namespace

} // namespace zevaver

// The key path does not wait for the window: the real program plays with its window's
// thread stopped, and plays again after the system dropped its keyboard hook. No key is
// lost after a pause, as a musician rests between phrases.
#include "ProgramUnderTest.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <random>
#include <vector>

namespace zevaver {

namespace {

using e2e::NoteOff;
using e2e::NoteOn;
using e2e::ProgramUnderTest;

// The shipped Piano layout's lower row, C D E F G A B from note 48.
constexpr WORD Row[] = {'Z', 'X', 'C', 'V', 'B', 'N', 'M'};
constexpr int RowNotes[] = {48, 50, 52, 53, 55, 57, 59};
constexpr COLORREF White = RGB(255, 255, 255);
constexpr COLORREF PressedWhite = RGB(192, 192, 192);

class InputThread : public ::testing::Test {
protected:
    void SetUp() override {
        e2e::ForgetSettings();
        program.WithoutSkins(); // the keyboard fills the client area in its built-in colours
    }
    void StartInTheBackground() {
        ASSERT_TRUE(program.Start());
        program.ClearMidiLog();
        foreign.Activate();
        program.Settle(300);
    }
    std::vector<e2e::MidiCall> ShortMessages() const {
        std::vector<e2e::MidiCall> sent;
        for (const e2e::MidiCall& call : program.MidiCalls())
            if (call.name == "midiOutShortMsg") sent.push_back(call);
        return sent;
    }
    // Taps a key and returns how long its note-on took, in ms; -1 when none came.
    double TapAndTime(WORD key, int note) {
        const size_t before = ShortMessages().size();
        const long long typed = e2e::Ticks();
        e2e::KeyDown(key);
        Sleep(60);
        e2e::KeyUp(key);
        if (!program.WaitForShortMessages(before + 2, 2000)) return -1;
        const e2e::MidiCall on = ShortMessages()[before];
        return on.message == NoteOn(note) ? e2e::TicksToMs(on.time - typed) : -1;
    }
    // Swaps in the test build of the hook library that drops its keyboard hook when F24
    // goes by, as the system does with a hook that once took too long: nobody is told.
    void WithADroppingHook() {
        const std::filesystem::path folder = program.ProgramFolder();
        ASSERT_TRUE(CopyFileW((folder / "dropping" / "vivuvav.dll").c_str(),
                              (folder / "vivuvav.dll").c_str(), FALSE));
    }
    // The colour of the first white key (Z's C) as the user sees it.
    COLORREF FirstKey() const {
        RECT client{};
        GetClientRect(program.MainWindow(), &client);
        const POINT origin = e2e::ClientOrigin(program.MainWindow());
        return e2e::ScreenPixel(origin.x + 4, origin.y + client.bottom - 4);
    }

    ProgramUnderTest program{"InputThread"};
    e2e::ForeignWindow foreign;
};

TEST_F(InputThread, WithTheWindowsThreadStoppedEveryKeyPlaysAtOnceAndTheWindowCatchesUp) {
    StartInTheBackground();
    std::vector<long long> typed;
    long long resumed = 0;
    {
        e2e::StoppedThread window(program.MainWindow());
        ASSERT_TRUE(window.Holds());
        // 40 keystrokes over about two seconds.
        for (int i = 0; i < 20; ++i) {
            const WORD key = Row[i % 7];
            typed.push_back(e2e::Ticks());
            e2e::KeyDown(key);
            Sleep(50);
            typed.push_back(e2e::Ticks());
            e2e::KeyUp(key);
            Sleep(50);
        }
        resumed = e2e::Ticks();
    }
    ASSERT_TRUE(program.WaitForShortMessages(40));
    program.Settle(300);
    const std::vector<e2e::MidiCall> sent = ShortMessages();
    ASSERT_EQ(sent.size(), 40u) << "nothing doubled, nothing lost";
    double slowest = 0;
    for (size_t i = 0; i < sent.size(); ++i) {
        const int note = RowNotes[(i / 2) % 7];
        EXPECT_EQ(sent[i].message, i % 2 == 0 ? NoteOn(note) : NoteOff(note)) << i;
        EXPECT_LT(sent[i].time, resumed) << "key " << i << " waited for the window";
        slowest = std::max(slowest, e2e::TicksToMs(sent[i].time - typed[i]));
    }
    std::printf("slowest key to note with the window stopped: %.2f ms\n", slowest);
    EXPECT_LT(slowest, 20.0);

    // The window has caught up: no key left drawn down, and it draws the next one.
    EXPECT_EQ(FirstKey(), White);
    e2e::KeyDown('Z');
    ASSERT_TRUE(program.WaitForShortMessages(41));
    program.Settle(300);
    EXPECT_EQ(FirstKey(), PressedWhite);
    e2e::KeyUp('Z');
    program.Settle(300);
    EXPECT_EQ(FirstKey(), White);
}

// After seconds with no input anywhere, the first key plays as quickly as any other.
TEST_F(InputThread, TheFirstKeyAfterAPauseOfSixOrFifteenSecondsPlaysAtOnce) {
    StartInTheBackground();
    for (const int pauseMs : {6000, 15000}) {
        Sleep(pauseMs);
        const double took = TapAndTime('Z', 48);
        std::printf("first key after %d s: %.2f ms\n", pauseMs / 1000, took);
        EXPECT_GE(took, 0) << "lost after " << pauseMs << " ms";
        EXPECT_LT(took, 100) << "after " << pauseMs << " ms";
    }
}

// Keys with the rests of real playing between them: none goes unheard, none hangs on.
TEST_F(InputThread, KeysWithPausesOfUpToSixSecondsAreNeitherLostNorLeftSounding) {
    StartInTheBackground();
    std::mt19937 random(20261208); // the same run every time
    constexpr int Pauses[] = {0, 100, 1000, 6000};
    int taps = 0;
    for (int i = 0; i < 14; ++i) {
        Sleep(static_cast<DWORD>(Pauses[random() % 4]));
        const WORD key = Row[random() % 7];
        e2e::KeyDown(key);
        Sleep(30 + random() % 200);
        e2e::KeyUp(key);
        ++taps;
    }
    ASSERT_TRUE(program.WaitForShortMessages(static_cast<size_t>(2 * taps)));
    program.Settle(300);
    const std::vector<e2e::MidiCall> sent = ShortMessages();
    ASSERT_EQ(sent.size(), static_cast<size_t>(2 * taps)) << "nothing lost, nothing doubled";
    for (size_t i = 0; i < sent.size(); i += 2) {
        const int note = static_cast<int>(sent[i].message >> 8 & 0x7F);
        EXPECT_EQ(sent[i].message, NoteOn(note)) << i;
        EXPECT_EQ(sent[i + 1].message, NoteOff(note)) << "each note-on, then its end";
    }
}

// Z goes down, the system drops the hook, Z comes up where only raw input sees it: the note
// ends all the same, and the next keys play through the hook put back.
TEST_F(InputThread, AKeyReleasedWhileTheHookWasAwayEndsItsNote) {
    WithADroppingHook();
    StartInTheBackground();
    e2e::KeyDown('Z');
    ASSERT_TRUE(program.WaitForShortMessages(1));
    e2e::Tap(VK_F24);
    e2e::KeyUp('Z');
    ASSERT_TRUE(program.WaitForShortMessages(2, 2000)) << "note 48 keeps sounding";
    EXPECT_EQ(ShortMessages()[1].message, NoteOff(48));
    program.Settle(300);
    EXPECT_GE(TapAndTime('X', 50), 0) << "the hook is back";
}

TEST_F(InputThread, AKeyboardHookTheSystemDroppedIsPutBackWhileKeysAreTyped) {
    WithADroppingHook();
    StartInTheBackground();
    e2e::Tap('Z');
    ASSERT_TRUE(program.WaitForShortMessages(2));
    e2e::Tap(VK_F24);
    program.Settle(300);
    program.ClearMidiLog();

    // Typing goes on; after a few silent keys the program hears the keys again.
    const long long typing = e2e::Ticks();
    int taps = 0;
    while (ShortMessages().empty() && taps < 50) {
        e2e::Tap('X');
        ++taps;
        program.Settle(100);
    }
    ASSERT_FALSE(ShortMessages().empty()) << "the hook never came back";
    std::printf("keys played again after %d taps, %.0f ms\n", taps,
                e2e::TicksToMs(ShortMessages().front().time - typing));
    program.Settle(300);
    program.ClearMidiLog();
    for (int i = 0; i < 5; ++i) e2e::Tap('C');
    ASSERT_TRUE(program.WaitForShortMessages(10));
    program.Settle(200);
    EXPECT_EQ(ShortMessages().size(), 10u) << "every key plays once the hook is back";
}

} // namespace

} // namespace zevaver

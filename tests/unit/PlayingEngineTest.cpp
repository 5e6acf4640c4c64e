// The engine's two doors as the window's thread uses them: commands in order and in force
// before the next key, wake-ups in both directions, the view, problems and the port's
// hand-over. The engine's thread is played by hand: it runs only when the test says so.
#include "engine/PlayingEngine.h"
#include "keyboard/KeyPositions.h"
#include "support/EnginePorts.h"
#include "support/FakeMidiOut.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace zevaver {

namespace {

// Keystroke flags without the key's place, which Key adds.
constexpr uint32_t Down = 0x00000001, Up = 0xC0000001;

class PlayingEngineTest : public ::testing::Test, protected EngineHost {
protected:
    PlayingEngineTest() {
        layout['Q'] = 60;
        layout['W'] = 100;
        engine.Send(play::SetLayout{layout});
        (void)fakes::AttachDevice(engine, midi, 0);
        Run();
        (void)engine.View();
        midi.Take();
        engineWakes = windowWakes = 0;
    }

    bool WakeEngine() noexcept override {
        ++engineWakes;
        return engineWakeWorks;
    }
    bool WakeWindow() noexcept override {
        ++windowWakes;
        return windowWakeWorks;
    }
    bool IsMainWindowActive() override { return false; }
    bool IsKeyDown(int32_t) override { return false; }
    uint32_t EventTime() override { return 0; }

    void Run() { engine.ProcessCommands(); }
    // A key of the US layout's letter rows, with its scan code.
    void Key(char key, uint32_t flags) {
        const uint32_t scan = UsKeyPosition(static_cast<uint16_t>(key)).scanCode;
        engine.KeyWatched(key, static_cast<int32_t>(flags | scan << 16));
    }
    std::vector<std::string> Sends() {
        std::vector<std::string> sends;
        for (const std::string& call : midi.Take())
            if (call.starts_with("send")) sends.push_back(call.substr(7));
        return sends;
    }

    KeyNoteTable layout{};
    fakes::FakeMidiOut midi;
    int engineWakes = 0, windowWakes = 0;
    bool engineWakeWorks = true, windowWakeWorks = true;
    PlayingEngine engine{*this, midi};
};

TEST_F(PlayingEngineTest, EachCommandIsInForceForTheVeryNextKey) {
    engine.Send(play::SetChannel{5});
    Key('Q', Down);
    Key('Q', Up);
    EXPECT_EQ(Sends(), (std::vector<std::string>{"007F3C94", "00003C84"}));

    auto shortcuts = DefaultShortcuts();
    shortcuts[0] = 'E'; // the playing switch on E alone
    shortcuts[2] = 'W'; // C3 on W alone
    engine.Send(play::SetShortcuts{shortcuts});
    Key('W', Down);
    EXPECT_TRUE(Sends().empty()) << "a shortcut, not a note";
    EXPECT_EQ(engine.View().baseOctave, -12);

    engine.Send(play::TogglePedal{});
    Key('Q', Down);
    Key('Q', Up);
    EXPECT_EQ(Sends(), std::vector<std::string>{"007F3094"}) << "the latched pedal holds it";
    EXPECT_TRUE(engine.View().pushChecked);

    engine.Send(play::TogglePedal{});
    Run();
    EXPECT_EQ(Sends(), std::vector<std::string>{"00003084"}) << "unlatched, it lets go";
    engine.Send(play::SetEnabled{false});
    Key('Q', Down);
    Key('Q', Up);
    EXPECT_TRUE(Sends().empty()) << "playing is off";
    Key('E', Down);
    Key('E', Up);
    EXPECT_TRUE(engine.View().enabled);
    Key('Q', Down);
    EXPECT_EQ(Sends(), std::vector<std::string>{"007F3094"}) << "and on again";

    engine.Send(play::RenumberDevice{7});
    Run();
    EXPECT_EQ(engine.Notes().MIDIDevice(), 7) << "the same port, at another number";
}

TEST_F(PlayingEngineTest, TheViewHoldsNotesOfBothHalvesOfTheRange) {
    Key('Q', Down);
    Key('W', Down);
    engine.Send(play::MousePress{10, 90});
    Run();
    const play::View view = engine.View();
    EXPECT_TRUE(view.down.Contains(10));
    EXPECT_TRUE(view.down.Contains(60));
    EXPECT_TRUE(view.down.Contains(100));
    EXPECT_FALSE(view.down.Contains(64));
    EXPECT_EQ(view.blinks, 3u);
    EXPECT_EQ(view.applied, engine.Sent());
}

TEST_F(PlayingEngineTest, TheWindowIsWokenOnceForNewsAndNeverForKeysThatChangeNothing) {
    Key('A', Down); // another program's typing
    Key('A', Up);
    EXPECT_EQ(windowWakes, 0);
    Key('Q', Down);
    Key('Q', Up);
    EXPECT_EQ(windowWakes, 1) << "not again until the view is read";
    (void)engine.View();
    Key('Q', Down);
    EXPECT_EQ(windowWakes, 2);

    windowWakeWorks = false; // the window's queue is full
    (void)engine.View();
    Key('Q', Up);
    EXPECT_EQ(windowWakes, 3);
    windowWakeWorks = true;
    engine.RetryWakeWindow();
    EXPECT_EQ(windowWakes, 4) << "a wake-up that could not be sent is tried again";
}

TEST_F(PlayingEngineTest, TheEngineIsWokenOnceUntilItRunsAndAgainWhenAWakeUpFailed) {
    for (int i = 0; i < 40; ++i) engine.Send(play::SetChannel{1 + i % 16});
    EXPECT_EQ(engineWakes, 1);
    Run();
    engine.Send(play::SetChannel{2});
    EXPECT_EQ(engineWakes, 2);
    Run();
    engineWakeWorks = false;
    engine.Send(play::SetChannel{3});
    engine.Send(play::SetChannel{4});
    EXPECT_EQ(engineWakes, 3 + 1) << "each command tries while none got through";
}

// The window 64 ahead: the queue is full, and the 65th command waits beside it. A key then
// finds every one of them applied once, in order.
TEST_F(PlayingEngineTest, AFullQueueLosesNoCommandDoublesNoneAndLetsNoKeyOvertakeOne) {
    for (int i = 0; i < 64; ++i) engine.Send(play::TogglePedal{});
    engine.Send(play::SetEnabled{false});
    Key('Q', Down);
    Key('Q', Up);
    EXPECT_TRUE(Sends().empty()) << "playing was switched off before the key";
    const play::View view = engine.View();
    EXPECT_EQ(view.applied, engine.Sent());
    EXPECT_FALSE(view.pushChecked) << "64 toggles, each applied once";
    engine.Send(play::TogglePedal{});
    Run();
    EXPECT_TRUE(engine.View().pushChecked);
}

TEST_F(PlayingEngineTest, ProblemsAreCutToFitAndNoneIsDroppedUnseen) {
    engine.Report(std::string(200, 'x'));
    play::Problem problem;
    ASSERT_TRUE(engine.TakeProblem(problem));
    EXPECT_EQ(std::string(problem.text.data()), std::string(127, 'x'));
    for (int i = 0; i < 20; ++i) engine.Report("again");
    int shown = 0;
    while (engine.TakeProblem(problem)) ++shown;
    EXPECT_EQ(shown, 16);
    EXPECT_EQ(engine.TakeDroppedProblems(), 4u);
    EXPECT_EQ(engine.TakeDroppedProblems(), 0u);
}

TEST_F(PlayingEngineTest, PortsGoBackToTheWindowUnclosedAndALostOneSaysSo) {
    play::ReturnedPort returned;
    engine.Send(play::DetachPort{});
    Run();
    ASSERT_TRUE(engine.TakeReturnedPort(returned));
    EXPECT_EQ(returned.port, 1u);
    EXPECT_EQ(returned.id, 1u);
    EXPECT_FALSE(returned.lost);
    EXPECT_TRUE(midi.Take().empty()) << "the window resets and closes it";

    Key('Q', Down);
    EXPECT_TRUE(engine.TakePortWanted());
    EXPECT_FALSE(engine.TakePortWanted()) << "asked once until taken";
    ASSERT_TRUE(fakes::AttachDevice(engine, midi, 1, 2));
    Run();
    EXPECT_EQ(Sends(), std::vector<std::string>{"007F3C90"}) << "the key held sounds now";

    midi.gonePorts = {2};
    Key('Q', Up);
    ASSERT_TRUE(engine.TakeReturnedPort(returned));
    EXPECT_EQ(returned.port, 2u);
    EXPECT_EQ(returned.id, 2u);
    EXPECT_TRUE(returned.lost);
    Key('Q', Down);
    EXPECT_FALSE(engine.TakePortWanted()) << "after a loss the window picks the stand-in";
}

} // namespace

} // namespace zevaver

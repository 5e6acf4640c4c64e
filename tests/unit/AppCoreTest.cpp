// The application core with the window, the MIDI library, the registry and the layout
// files in memory: the decisions the main window makes, from start to shutdown.
#include "mainwindow/AppCore.h"
#include "support/FakeAppHost.h"
#include "support/FakeFiles.h"
#include "support/FakeMidiOut.h"
#include "support/FakeRegistry.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <vector>

namespace zevaver {

namespace {

using fakes::FakeAppHost;
using fakes::FakeFiles;
using fakes::FakeMidiOut;
using fakes::FakeRegistry;

TEST(AppDecisions, OnlyTheFiveKnownBaseOctavesClickAnItem) {
    const std::vector<std::pair<int32_t, std::optional<KeyCommand>>> cases = {
        {-24, KeyCommand::C2}, {-12, KeyCommand::C3}, {0, KeyCommand::C4},
        {12, KeyCommand::C5},  {24, KeyCommand::C6},  {7, std::nullopt},
        {-36, std::nullopt},   {36, std::nullopt},    {1, std::nullopt},
    };
    for (const auto& [stored, command] : cases)
        EXPECT_EQ(BaseOctaveCommand(stored), command) << stored;
}

TEST(AppDecisions, DevicesAndChannelsOutsideTheirRangeFallBack) {
    struct Case {
        int32_t id;
        int count;
        int32_t device;
    };
    for (const Case& c :
         {Case{-1, 0, -1}, Case{0, 0, 0}, Case{1, 2, 1}, Case{2, 2, 0}, Case{99, 3, 0}})
        EXPECT_EQ(ClampedDevice(c.id, c.count), c.device) << c.id << " of " << c.count;
    for (const auto& [channel, kept] :
         std::vector<std::pair<int32_t, int32_t>>{{1, 1}, {16, 16}, {0, 1}, {17, 1}, {-5, 1}})
        EXPECT_EQ(ClampedChannel(channel), kept) << channel;
}

TEST(AppDecisions, TurningSwapsWidthAndHeightAndKeepsTheCorner) {
    EXPECT_EQ(TurnedBounds({10, 20, 716, 140}), (WindowRect{10, 20, 140, 716}));
    EXPECT_EQ(KeyboardOctave(-24), 2);
    EXPECT_EQ(KeyboardOctave(24), 6);
    EXPECT_EQ(IdleIconName(true), "TRAYICON");
    EXPECT_EQ(IdleIconName(false), "TRAYDISABLED");
}

class AppCoreTest : public testing::Test {
protected:
    AppCoreTest() { files.files["Layouts/Piano.txt"] = {"Q = 60\r\n"}; }
    AppCore& Start() {
        core.Start();
        return core;
    }
    AppState& State() { return core.State(); }
    fw::MenuItem& Item(const char* name) { return core.Menu().Item(name); }

    FakeAppHost host;
    FakeMidiOut midi;
    FakeRegistry registry;
    FakeFiles files;
    AppCore core{host, midi, registry, files};
};

TEST_F(AppCoreTest, AFirstStartIsCentredAndLoadsTheLayout) {
    Start();
    EXPECT_EQ(host.bounds, (WindowRect{1024 / 2 - 716 / 2, 768 / 2 - 140 / 2, 716, 140}));
    EXPECT_EQ(State().KeyNotes['Q'], 60);
    EXPECT_EQ(core.Keys().BaseOctave(), 4);
    EXPECT_EQ(core.Keys().NoteWidth(), 16);
    EXPECT_EQ(State().IconName, "TRAYICON");
    EXPECT_TRUE(host.errors.empty());
    // The keyboard fills the client area beside the fader.
    EXPECT_EQ(core.Keys().Width() + host.faderBounds.width, 716 - FakeAppHost::FrameWidth);
}

TEST_F(AppCoreTest, AStoredBaseOctaveSetsTheKeyboardOnlyForTheFiveKnownValues) {
    struct Case {
        const char* stored;
        int keyboardOctave;
        const char* checked;
    };
    for (const Case& c : {Case{"-24", 2, "C2"}, Case{"12", 5, "C5"}, Case{"7", 2, "C4"}}) {
        FakeAppHost windowHost;
        FakeRegistry store;
        store.User() = {{"Base Octave", c.stored},
                        {"Channel", "1"},
                        {"Note Width", "16"},
                        {"Width", "716"},
                        {"Height", "140"}};
        AppCore app(windowHost, midi, store, files);
        app.Start();
        EXPECT_EQ(app.Keys().BaseOctave(), c.keyboardOctave) << c.stored;
        EXPECT_TRUE(app.Menu().Item(c.checked).Checked()) << c.stored;
        EXPECT_EQ(std::to_string(app.State().Settings.BaseOctave), c.stored);
    }
}

TEST_F(AppCoreTest, StoredDeviceAndChannelOutsideTheirRangeFallBackAndAFailedPortIsReported) {
    registry.User() = {{"Device", "5"},
                       {"Channel", "40"},
                       {"Note Width", "16"},
                       {"Width", "716"},
                       {"Height", "140"}};
    midi.failingOpens = {0};
    Start();
    EXPECT_EQ(State().Settings.Device, 0);
    EXPECT_EQ(State().Settings.Channel, 1);
    EXPECT_EQ(host.errors, std::vector<std::string>{PortFailedText});
}

// While running: the port missing at start comes back (a device change, looked at again a
// moment later), and going while its note sounds it is told of once.
TEST_F(AppCoreTest, APortBackWhileRunningIsTakenAgainAndOneThatGoesIsToldOnce) {
    registry.User() = {{"Device", "1"},  {"Device Name", "Synth B"}, {"Channel", "1"},
                       {"Width", "716"}, {"Height", "140"},          {"Note Width", "16"}};
    midi.devices = 1;
    Start(); // port 1: Synth A
    EXPECT_EQ(Item("mnuDevice")[3].Caption(), "Synth B (not connected)");
    midi.devices = 2;
    core.DevicesChanged();
    EXPECT_EQ(midi.Opened(), (std::vector<int>{0, 1})); // port 2: Synth B
    EXPECT_EQ(Item("mnuDevice").Count(), 3u);
    EXPECT_EQ(host.timers.count(AppCore::PortsTimerId), 1u) << "a second look follows";

    core.KeyWatched('Q', 0x00100001);
    midi.gonePorts = {2};
    midi.devices = 1;
    midi.Take();
    core.KeyWatched('Q', static_cast<int32_t>(0xC0100001u)); // its note-off fails
    core.KeyWatched('Q', 0x00100001);
    core.DevicesChanged();
    EXPECT_EQ(host.errors, std::vector<std::string>{PortLostText("Synth B")});
    std::vector<std::string> calls = midi.Take();
    std::erase_if(calls, [](const std::string& call) { return call.starts_with("caps"); });
    EXPECT_EQ(calls, (std::vector<std::string>{"send 2 00003C80", "reset 2", "close 2", "open 0",
                                               "send 3 007F3C90"}))
        << "the first port stands in";
}

// A box's own message loop shows what the engine did meanwhile (here Ctrl+F2, base octave
// C2, typed while the port's failure is told); what the window read before the box must not
// come back after it.
TEST_F(AppCoreTest, AShortcutTypedWhileABoxShowsStaysShownAfterIt) {
    registry.User() = {{"Width", "716"},
                       {"Height", "140"},
                       {"Note Width", "16"},
                       {"Shortcut Base Octave C2", "16497"},
                       {"Shortcut Base Octave C3", "16498"}};
    midi.failingOpens = {0};
    uint16_t key = vk::F2;
    host.whileBoxShows = [this, &key] {
        core.KeyWatched(vk::Control, 0x001D0001);
        core.KeyWatched(key, 0x003C0001);
        core.KeyWatched(key, static_cast<int32_t>(0xC03C0001u));
        core.KeyWatched(vk::Control, static_cast<int32_t>(0xC01D0001u));
    };
    Start();
    ASSERT_EQ(host.errors, std::vector<std::string>{PortFailedText});
    EXPECT_EQ(State().Settings.BaseOctave, -24);
    EXPECT_EQ(core.Keys().BaseOctave(), 2);
    EXPECT_TRUE(Item("C2").Checked());

    key = vk::F3; // and while a failure of the engine's own is told
    core.Engine().Report("Trouble.");
    ASSERT_EQ(host.errors.size(), 2u);
    EXPECT_EQ(State().Settings.BaseOctave, -12);
    EXPECT_TRUE(Item("C3").Checked());
}

TEST_F(AppCoreTest, WithNoMidiOutputTheMapperIsListedByNameAndTheMessageSaysNothingPlays) {
    midi.devices = 0;
    midi.mapperNamed = false;
    midi.failingOpens = {-1};
    Start();
    EXPECT_EQ(Item("mnuDevice")[0].Caption(), "Microsoft MIDI Mapper");
    EXPECT_EQ(host.errors, std::vector<std::string>{NoPortsText});
}

// The key that finds its port gone is the first to sound on the port that stands in.
TEST_F(AppCoreTest, AKeyThatFindsItsPortGoneSoundsOnThePortStandingIn) {
    registry.User() = {{"Device", "1"},
                       {"Device Name", "Synth B"},
                       {"Width", "716"},
                       {"Height", "140"},
                       {"Note Width", "16"}};
    Start(); // port 1: Synth B
    midi.Take();
    midi.gonePorts = {1};
    midi.devices = 1;
    core.KeyWatched('Q', 0x00100001);
    std::vector<std::string> calls = midi.Take();
    std::erase_if(calls, [](const std::string& call) { return call.starts_with("caps"); });
    EXPECT_EQ(calls, (std::vector<std::string>{"send 1 007F3C90", "reset 1", "close 1", "open 0",
                                               "send 2 007F3C90"}));
    EXPECT_EQ(host.errors, std::vector<std::string>{PortLostText("Synth B")});
}

// The engine on a thread of its own, played by hand: the port it had open went away just
// before the user chose another, and the window hears of it only afterwards.
TEST(AppCorePorts, APortLostBeforeTheUsersNextChoiceWasAppliedIsNoNews) {
    struct ByHand final : EngineHost {
        PlayingEngine* engine = nullptr;
        // The engine's thread wakes only when the window waits for it.
        bool WakeEngine() noexcept override {
            if (engine && waiting) engine->ProcessCommands();
            return true;
        }
        bool WakeWindow() noexcept override { return true; }
        bool waiting = false;
        bool IsMainWindowActive() override { return false; }
        bool IsKeyDown(int32_t) override { return false; }
        uint32_t EventTime() override { return 0; }
    } engineHost;
    FakeAppHost host;
    FakeMidiOut midi;
    FakeRegistry registry;
    FakeFiles files;
    files.files["Layouts/Piano.txt"] = {"Q = 60\r\n"};
    AppCore core(host, midi, registry, files, std::string(SettingsKeyPath), &engineHost);
    engineHost.engine = &core.Engine();
    core.Start();
    core.Engine().ProcessCommands(); // port 1
    engineHost.waiting = true;
    midi.gonePorts = {1};
    core.Engine().KeyWatched('Q', 0x00100001);
    core.Menu().Item("mnuDevice")[0].Click(); // the mapper: the loss is read only now
    core.EngineChanged();
    EXPECT_TRUE(host.errors.empty());
    core.Engine().ProcessCommands();
    EXPECT_EQ(midi.Opened(), (std::vector<int>{0, -1}));
}

TEST_F(AppCoreTest, TheEnabledSwitchPicksTheIdleIconAndShowsIt) {
    Start();
    Item("mnuEnabled").Click();
    EXPECT_FALSE(State().Settings.Enabled);
    EXPECT_EQ(State().IconName, "TRAYDISABLED");
    Item("mnuEnabled").Click();
    EXPECT_EQ(State().IconName, "TRAYICON");
    EXPECT_EQ(host.icons,
              (std::vector<std::string>{"window MAINICON", "window MDISABLED", "window MAINICON"}));
}

TEST_F(AppCoreTest, ZoomStopsAtItsLimits) {
    registry.User() = {{"Note Width", "100"}, {"Width", "716"}, {"Height", "140"}};
    Start();
    Item("mnuZoomIn").Click();
    EXPECT_EQ(State().Settings.NoteWidth, 100);
    State().Settings.NoteWidth = 7;
    Item("mnuZoomOut").Click();
    EXPECT_EQ(core.Keys().NoteWidth(), 7);
}

TEST_F(AppCoreTest, VerticalTurnsTheWindowTheKeyboardAndTheFader) {
    registry.User() = {{"Width", "716"}, {"Height", "140"}, {"Left", "100"}, {"Top", "20"}};
    Start();
    const WindowRect before = host.bounds;
    Item("mnuVertical").Click();
    EXPECT_TRUE(State().Settings.Vertical);
    EXPECT_EQ(host.bounds, TurnedBounds(before));
    EXPECT_EQ(core.Keys().Orientation(), TKeyboardOrientation::Vertical);
    EXPECT_TRUE(host.faderVertical);
    EXPECT_GT(core.Keys().Height(), core.Keys().Width());
}

// Stored sizes may be anything (a missing value reads as 0), and a turn swaps a short side
// into the width: the window still never gets smaller than 100 x 80, nor larger than the
// 1024 x 768 screen.
TEST_F(AppCoreTest, NoStoredSizeOrTurnMakesTheWindowSmallerThanTheMinimum) {
    // Stored width and height ("" missing), then the sizes placed, turned and turned back.
    const std::vector<std::pair<std::pair<const char*, const char*>, std::vector<int>>> cases = {
        {{"10", "5"}, {100, 80, 100, 100, 100, 100}},
        {{"1200", ""}, {1024, 80, 100, 768, 768, 100}},
        {{"716", "80"}, {716, 80, 100, 716, 716, 100}},
    };
    for (const auto& [stored, sizes] : cases) {
        FakeAppHost window;
        FakeRegistry store;
        store.User() = {{"Width", stored.first}, {"Note Width", "16"}};
        if (*stored.second) store.User()["Height"] = stored.second;
        AppCore app(window, midi, store, files);
        app.Start();
        std::vector<int> seen{window.bounds.width, window.bounds.height};
        for (int turn = 0; turn < 2; ++turn) {
            app.Menu().Item("mnuVertical").Click();
            seen.insert(seen.end(), {window.bounds.width, window.bounds.height});
        }
        EXPECT_EQ(seen, sizes) << stored.first;
    }
}

TEST_F(AppCoreTest, ShutdownSavesTheBoundsAndTheFaderOnce) {
    Start();
    host.bounds = {33, 44, 500, 200};
    host.fader = 40;
    core.Stop();
    EXPECT_EQ(registry.User()["Left"], "33");
    EXPECT_EQ(registry.User()["Height"], "200");
    EXPECT_EQ(registry.User()["Velocity"], "40");
    const size_t writes = registry.writes.size();
    core.Stop();
    EXPECT_EQ(registry.writes.size(), writes);
}

TEST_F(AppCoreTest, WhileMinimizedNothingIsDrawnButNotesStillPlay) {
    Start();
    State().Minimized = true;
    midi.Take();
    host.paints = 0;
    core.KeyWatched('Q', 0x00100001);
    core.KeyWatched('Q', static_cast<int32_t>(0xC0100001u));
    core.Paint();
    const std::vector<std::string> calls = midi.Take();
    ASSERT_EQ(calls.size(), 2u);
    EXPECT_EQ(calls[0].substr(0, 6), "send 1");
    EXPECT_EQ(host.paints, 0);
}

TEST_F(AppCoreTest, AMousePressOutsideTheKeyboardIsIgnoredAndADragEndsWhereverTheButtonGoesUp) {
    Start();
    midi.Take();
    const int x = core.Keys().Left() + 3, y = core.Keys().Top() + 60;
    core.MouseDown(TMouseButton::Left, TShiftState::Left, -5, -5);
    EXPECT_TRUE(midi.Take().empty());
    core.MouseDown(TMouseButton::Left, TShiftState::Left, x, y);
    EXPECT_EQ(midi.Take().size(), 1u);
    core.MouseUp(TMouseButton::Left, TShiftState::None, -100, -100);
    EXPECT_EQ(midi.Take().size(), 1u) << "the note ends although the button went up outside";
}

// The keyboard's rectangle excludes its right and bottom edges; a drag that began on it
// goes on playing past its end, the notes beyond the keys drawn.
TEST_F(AppCoreTest, TheColumnRightOfTheKeyboardIsNoKeyButADragPastTheEndKeepsPlaying) {
    Start();
    Item("C2").Click(); // the notes past the end stay within the MIDI range
    const TKeys& keys = core.Keys();
    const int right = keys.Left() + keys.Width(), y = keys.Top() + keys.Height() - 5;
    EXPECT_TRUE(core.OverKeys(right - 1, y));
    EXPECT_FALSE(core.OverKeys(right, y));
    EXPECT_FALSE(core.OverKeys(keys.Left() + 3, keys.Top() + keys.Height()));
    midi.Take();
    core.MouseDown(TMouseButton::Left, TShiftState::Left, right, y);
    EXPECT_TRUE(midi.Take().empty()) << "a press just right of the keyboard plays nothing";

    core.MouseDown(TMouseButton::Left, TShiftState::Left, right - 2, y);
    const int last = keys.MouseNote();
    ASSERT_GE(last, 0);
    midi.Take();
    core.MouseMove(TShiftState::Left, right + 3 * keys.NoteWidth(), y);
    EXPECT_GT(keys.MouseNote(), last) << "past the end the drag plays the notes beyond";
    EXPECT_EQ(midi.Take().size(), 2u) << "the last key's note-off and the next note-on";
    core.MouseUp(TMouseButton::Left, TShiftState::None, right + 50, y);
}

// Mouse events at a key ("L", "M" a left and a middle press, "l", "m" their releases, off
// the keyboard), "X" the capture taken by another window: the messages that go out.
TEST_F(AppCoreTest, ReleasesReachTheKeyboardForTheButtonsItHoldsAndALostCaptureEndsTheNote) {
    struct Case {
        const char* what;
        const char* events;
        size_t messages;
    };
    const Case cases[] = {
        {"a left release after a middle press and release ends the note", "L M m l", 2},
        {"a lost capture ends the note at once", "L X", 2},
        {"a release after the capture was lost ends nothing more", "L X l", 2},
        {"a middle release of a press off the keyboard is not the keyboard's", "L l m", 2},
    };
    Start();
    const int x = core.Keys().Left() + 3, y = core.Keys().Top() + 60;
    for (const Case& c : cases) {
        midi.Take();
        for (const char* e = c.events; *e != 0; ++e) {
            if (*e == 'L') core.MouseDown(TMouseButton::Left, TShiftState::Left, x, y);
            if (*e == 'M') core.MouseDown(TMouseButton::Middle, TShiftState::Left, x, y);
            if (*e == 'l') core.MouseUp(TMouseButton::Left, TShiftState::None, -9, -9);
            if (*e == 'm') core.MouseUp(TMouseButton::Middle, TShiftState::Left, -9, -9);
            if (*e == 'X') core.MouseCaptureLost();
        }
        EXPECT_EQ(midi.Take().size(), c.messages) << c.what;
        EXPECT_FALSE(core.Keys().HoldsMouse()) << c.what;
    }
}

TEST_F(AppCoreTest, TheEndOfTheSessionSavesTheSettingsAndSilencesThePort) {
    Start();
    midi.Take();
    core.SessionEnding();
    EXPECT_EQ(registry.User().size(), static_cast<size_t>(SettingsValueCount));
    EXPECT_EQ(midi.Take(), std::vector<std::string>{"reset 1"});
}

// Ctrl reported down, its release lost on another desktop; the system has it up.
TEST_F(AppCoreTest, WhenTheDesktopChangesHeldKeysAreReadBackFromTheSystem) {
    Start();
    core.KeyWatched(0x11, 0x001D0001);
    host.keysDown = {0x11};
    core.Engine().ReconcileKeys();
    EXPECT_TRUE(core.Engine().Player().CtrlHeld()) << "still held";
    host.keysDown.clear();
    core.Engine().ReconcileKeys();
    EXPECT_FALSE(core.Engine().Player().CtrlHeld());
}

TEST_F(AppCoreTest, ChoosingAnotherPedalKeyWhileThePedalKeyIsHeldEndsWhatItSustained) {
    Start();
    Item("mnuCtrl").Click();
    core.KeyWatched(0x11, 0x001D0001);
    core.KeyWatched('Q', 0x00100001);
    core.KeyWatched('Q', static_cast<int32_t>(0xC0100001u));
    midi.Take();
    Item("mnuShift").Click();
    EXPECT_FALSE(core.Engine().Player().PedalDown());
    EXPECT_FALSE(Item("mnuPush").Checked());
    EXPECT_EQ(midi.Take().size(), 1u) << "the sustained note's note-off";
}

TEST_F(AppCoreTest, WhileTheSettingsDialogExistsKeysNeitherPlayNorFireAndOkReloadsTheLayout) {
    files.files["Layouts/Other.txt"] = {"Q = 72\r\n"};
    Start();
    midi.Take();
    std::vector<std::string> during;
    host.settingsDialog = [&](TSettings& settings, const std::function<void()>& layoutChanged) {
        EXPECT_TRUE(State().SettingsDialogOpen);
        core.KeyWatched(vk::Control, 0x001D0001); // Ctrl+F2, the C2 shortcut: nothing
        core.KeyWatched(vk::F2, 0x003C0001);
        core.KeyWatched('Q', 0x00100001); // no note
        during = midi.Take();
        core.Menu().Click(KeyCommand::Settings); // a second request opens no second dialog
        settings.Layout = "Other";
        layoutChanged();
    };
    core.Menu().Click(KeyCommand::Settings);
    EXPECT_TRUE(during.empty());
    EXPECT_EQ(host.settingsDialogs, 1);
    EXPECT_FALSE(State().SettingsDialogOpen);
    EXPECT_EQ(State().Settings.BaseOctave, 0);
    EXPECT_EQ(State().KeyNotes['Q'], 72);
    EXPECT_GT(host.invalidations, 0);
}

} // namespace

} // namespace zevaver

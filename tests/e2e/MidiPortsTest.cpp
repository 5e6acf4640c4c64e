// MIDI ports that come and go, with the real program under Wine: the test MIDI library
// lists named ports from a file the test rewrites while the program runs, fails sends to a
// port that left the list, and the test tells the program of the change as the system does.
// The user's port is followed by name: behind a port added in front, across a run without
// it, and back again while the program runs.
#include "ProgramUnderTest.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace zevaver {

namespace {

using e2e::MidiCall;
using e2e::NoteOff;
using e2e::NoteOn;
using e2e::ProgramUnderTest;
using Ports = std::vector<std::string>;
using Messages = std::vector<uint32_t>;

constexpr WORD KeyZ = 'Z'; // note 48 in the shipped Piano layout
constexpr WORD KeyX = 'X'; // note 50

// The "h=0x..." field of a logged call.
std::string HandleField(const MidiCall& call) {
    const size_t at = call.text.find(" h=");
    return at == std::string::npos ? std::string()
                                   : call.text.substr(at + 1, call.text.find(' ', at + 1) - at - 1);
}

class MidiPorts : public ::testing::Test {
protected:
    // A first run stores every value; the choice is then written over them.
    void Choose(const std::string& device, const std::string& name) {
        e2e::ForgetSettings();
        ASSERT_TRUE(program.Start({.ports = Ports{"Synth A"}}));
        program.Close();
        e2e::StoreSetting("Device", device);
        e2e::StoreSetting("Device Name", name);
    }
    void StartWith(const Ports& ports) {
        program.ClearMidiLog();
        ASSERT_TRUE(program.Start({.ports = ports}));
        foreign.Activate();
        program.Settle(300);
    }
    // The devices opened since the log was cleared, in order.
    std::vector<int> Opened() const {
        std::vector<int> opened;
        for (const MidiCall& call : program.MidiCalls())
            if (call.name == "midiOutOpen") opened.push_back(call.device);
        return opened;
    }
    // The handle the last open gave.
    std::string LastOpened() const {
        std::string handle;
        for (const MidiCall& call : program.MidiCalls())
            if (call.name == "midiOutOpen") handle = HandleField(call);
        return handle;
    }
    // The messages sent to one handle, and whether the library took them.
    Messages SentTo(const std::string& handle, bool taken = true) const {
        Messages sent;
        for (const MidiCall& call : program.MidiCalls()) {
            const bool ok = call.text.ends_with(" -> 0");
            if (call.name == "midiOutShortMsg" && HandleField(call) == handle && ok == taken)
                sent.push_back(call.message);
        }
        return sent;
    }
    // Taps a key and waits until its two messages went out.
    void Play(WORD key) {
        const size_t before = program.ShortMessages().size();
        e2e::Tap(key);
        program.WaitForShortMessages(before + 2, 3000);
        program.Settle(200);
    }

    ProgramUnderTest program{"MidiPorts"};
    e2e::ForeignWindow foreign;
};

// Settings stored by number alone (an earlier version's) learn the port's name; a port
// created in front of it later moves it to another number, and the same port plays.
TEST_F(MidiPorts, APortAddedInFrontKeepsTheUsersPort) {
    Choose("1", "");
    StartWith({"Synth A", "Synth B"});
    EXPECT_EQ(Opened(), std::vector<int>{1});
    program.Close();
    EXPECT_EQ(e2e::StoredSetting("Device Name"), "Synth B");

    StartWith({"Loopback", "Synth A", "Synth B"});
    EXPECT_EQ(Opened(), std::vector<int>{2});
    Play(KeyZ);
    EXPECT_EQ(SentTo(LastOpened()), (Messages{NoteOn(48), NoteOff(48)}));
    program.Close();
    EXPECT_EQ(e2e::StoredSetting("Device"), "2");
    EXPECT_EQ(e2e::StoredSetting("Device Name"), "Synth B");
}

// Missing for a run, the first port stands in without a box and the choice is kept; at the
// next start with the port back it plays there again.
TEST_F(MidiPorts, APortAwayForOneRunIsTakenAgainWhenItIsBack) {
    Choose("1", "Synth B");
    StartWith({"Synth A"});
    EXPECT_EQ(program.WaitForMessageBox(300), "");
    EXPECT_EQ(Opened(), std::vector<int>{0});
    program.Close();
    EXPECT_EQ(e2e::StoredSetting("Device"), "1");
    EXPECT_EQ(e2e::StoredSetting("Device Name"), "Synth B");

    StartWith({"Synth A", "Synth B"});
    EXPECT_EQ(Opened(), std::vector<int>{1});
    Play(KeyZ);
    EXPECT_EQ(SentTo(LastOpened()), (Messages{NoteOn(48), NoteOff(48)}));
}

// While running: the port plugged in again is taken at once (the issue asks within 2 s of
// the system's message); a port created in front changes nothing; the port leaving while a
// note sounds gets nothing more, is told of once, and is taken again when back.
TEST_F(MidiPorts, APortBackWhileRunningIsReopenedAndTheNextKeyPlaysOnIt) {
    Choose("1", "Synth B");
    StartWith({"Synth A"});
    ASSERT_EQ(Opened(), std::vector<int>{0});

    program.SetPorts({"Synth A", "Synth B"});
    program.DevicesChanged();
    ASSERT_TRUE(e2e::WaitFor([&] { return Opened().size() == 2; }, 2000))
        << "reopened within 2 s of the device change";
    EXPECT_EQ(Opened().back(), 1);
    const std::string synthB = LastOpened();
    Play(KeyZ);
    EXPECT_EQ(SentTo(synthB), (Messages{NoteOn(48), NoteOff(48)}));

    program.SetPorts({"Loopback", "Synth A", "Synth B"});
    program.DevicesChanged();
    Play(KeyX);
    EXPECT_EQ(Opened().size(), 2u) << "a port added in front reopens nothing";
    EXPECT_EQ(SentTo(synthB), (Messages{NoteOn(48), NoteOff(48), NoteOn(50), NoteOff(50)}));

    e2e::KeyDown(KeyZ);
    program.WaitForShortMessages(5, 3000);
    program.SetPorts({"Loopback", "Synth A"}); // unplugged, without a word from the system
    e2e::KeyUp(KeyZ);
    EXPECT_EQ(program.WaitForMessageBox(),
              "The MIDI port \"Synth B\" is no longer available. It is used again as soon as it "
              "is back.");
    program.DismissMessageBox();
    EXPECT_EQ(SentTo(synthB, false), (Messages{NoteOff(48)})) << "the one send that failed";
    ASSERT_TRUE(e2e::WaitFor([&] { return Opened().size() == 3; }, 2000));
    EXPECT_EQ(Opened().back(), 0) << "the first port stands in";
    const std::string standIn = LastOpened();
    Play(KeyX);
    program.DevicesChanged();
    EXPECT_EQ(SentTo(standIn), (Messages{NoteOn(50), NoteOff(50)}));
    EXPECT_EQ(program.WaitForMessageBox(300), "") << "told once";

    program.SetPorts({"Loopback", "Synth A", "Synth B"});
    program.DevicesChanged();
    ASSERT_TRUE(e2e::WaitFor([&] { return Opened().size() == 4; }, 2000));
    EXPECT_EQ(Opened().back(), 2);
    Play(KeyZ);
    EXPECT_EQ(SentTo(LastOpened()), (Messages{NoteOn(48), NoteOff(48)}));
    EXPECT_EQ(SentTo(synthB, false).size(), 1u);
    EXPECT_EQ(program.WaitForMessageBox(300), "");
}

// The key that finds its port gone is not lost: it sounds on the port standing in.
TEST_F(MidiPorts, AKeyThatFindsItsPortGoneSoundsOnThePortStandingIn) {
    Choose("1", "Synth B");
    StartWith({"Synth A", "Synth B"});
    const std::string synthB = LastOpened();
    program.SetPorts({"Synth A"}); // unplugged, without a word from the system
    e2e::KeyDown(KeyZ);
    ASSERT_TRUE(e2e::WaitFor([&] { return Opened().size() == 2; }, 2000));
    program.Settle(200);
    e2e::KeyUp(KeyZ);
    EXPECT_NE(program.WaitForMessageBox(), "");
    program.DismissMessageBox();
    program.Settle(200);
    EXPECT_EQ(SentTo(synthB, false), (Messages{NoteOn(48)})) << "the send that found it gone";
    EXPECT_EQ(SentTo(LastOpened()), (Messages{NoteOn(48), NoteOff(48)}));
}

// The window shows what the engine plays: a shortcut typed while a box is up (base octave
// C2) is still shown, and kept, after the box has gone.
TEST_F(MidiPorts, AShortcutTypedWhileABoxIsUpIsWhatTheWindowShowsAfterIt) {
    e2e::ForgetSettings();
    ASSERT_TRUE(program.Start({.devices = 1, .openFail = "0"}));
    ASSERT_EQ(program.WaitForMessageBox(), "Selected MIDI port could't be opened.");
    e2e::KeyDown(VK_CONTROL);
    e2e::Tap(VK_F2);
    e2e::KeyUp(VK_CONTROL);
    program.Settle(300);
    program.DismissMessageBox();
    program.Settle(300);
    EXPECT_EQ(program.Close(), 0);
    EXPECT_EQ(e2e::StoredSetting("Base Octave"), "-24");
}

} // namespace

} // namespace zevaver

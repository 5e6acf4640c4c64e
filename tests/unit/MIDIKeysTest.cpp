#include "keyboard/MIDIKeys.h"
#include "keyboard/MidiMessages.h"

#include "KeysTestSupport.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <set>
#include <string>
#include <vector>

namespace {

using keystest::BuiltInSkin;
using keystest::RecordingHost;
using Calls = std::vector<std::string>;

TEST(MidiMessages, PackStatusNoteAndVelocityLowestByteFirst) {
    struct Case {
        const char* what;
        uint32_t message;
        uint32_t expected;
    };
    const Case cases[] = {
        {"note-on, channel 1, note 60, velocity 100", midi::NoteOn(1, 60, 100), 0x00643C90},
        {"note-off, channel 16, note 60", midi::NoteOff(16, 60, 0), 0x00003C8F},
        {"note-on, channel 16, top note and velocity", midi::NoteOn(16, 127, 127), 0x007F7F9F},
        {"note-on with velocity 0 stays a note-on", midi::NoteOn(3, 0, 0), 0x00000092},
        {"note-off carries the velocity given", midi::NoteOff(1, 64, 5), 0x00054080},
        {"note and velocity are cut to 8 bits", midi::NoteOn(1, 0x13C, 0x164), 0x00643C90},
        {"channel 17 wraps into the note-on range", midi::NoteOn(17, 1, 1), 0x00010190},
        {"channel 0 stays a note-on", midi::NoteOn(0, 1, 1), 0x0001019F},
    };
    for (const Case& c : cases) EXPECT_EQ(c.message, c.expected) << c.what;
}

// The platform's MIDI library, recording every call except the device count.
class FakeMidiOut : public MidiOut {
public:
    uint32_t devices = 2;
    std::vector<std::string> names = {"Synth A", "Synth B"};
    std::set<int> failingOpens;
    Result openResult = NoError; // for devices that open
    Calls calls;

    uint32_t DeviceCount() override { return devices; }
    Result DeviceName(int device, std::string& name) override {
        calls.push_back("caps " + std::to_string(device));
        if (device == Mapper) {
            name = "Mapper";
            return NoError;
        }
        if (device < 0 || device >= static_cast<int>(names.size())) return 2;
        name = names[static_cast<size_t>(device)];
        return NoError;
    }
    OpenResult Open(int device) override {
        calls.push_back("open " + std::to_string(device));
        if (failingOpens.count(device) != 0) return {4, 0};
        return {openResult, nextPort_++};
    }
    Result ShortMessage(Handle port, uint32_t message) override {
        char text[40];
        std::snprintf(text, sizeof text, "send %u %08X", static_cast<unsigned>(port),
                      static_cast<unsigned>(message));
        calls.push_back(text);
        return NoError;
    }
    Result Reset(Handle port) override {
        calls.push_back("reset " + std::to_string(port));
        return NoError;
    }
    Result Close(Handle port) override {
        calls.push_back("close " + std::to_string(port));
        return NoError;
    }

    Calls Take() { return std::exchange(calls, {}); }

private:
    Handle nextPort_ = 1;
};

class MIDIKeysTest : public BuiltInSkin {
protected:
    void SetUp() override {
        BuiltInSkin::SetUp();
        keys = std::make_unique<TMIDIKeys>(host, midi);
        // Blinks land in the same log, so their place before each message shows.
        keys->Blink = [this] { midi.calls.push_back("blink"); };
    }
    void TearDown() override {
        keys.reset();
        BuiltInSkin::TearDown();
    }

    // Selects a device the way the main window does and forgets the calls made.
    void Select(int device) {
        keys->SetMIDIDevice(device);
        keys->OpenPort();
        midi.Take();
    }

    RecordingHost host;
    FakeMidiOut midi;
    std::unique_ptr<TMIDIKeys> keys;
};

TEST_F(MIDIKeysTest, StartsOnTheMapperChannelOneWithThePortClosed) {
    EXPECT_EQ(keys->MIDIDevice(), -1);
    EXPECT_EQ(keys->MIDIPortName(), "Microsoft MIDI Mapper");
    EXPECT_EQ(keys->MIDIChannel(), 1);
    EXPECT_FALSE(keys->MIDIPortOk());
    EXPECT_TRUE(midi.calls.empty());
}

TEST_F(MIDIKeysTest, SendsANoteOnAndANoteOffForEachPlayedNote) {
    Select(0);
    keys->PressNote(60, 100);
    keys->ReleaseNote(60);
    EXPECT_EQ(midi.Take(), (Calls{"blink", "send 1 00643C90", "blink", "send 1 00003C80"}));
}

TEST_F(MIDIKeysTest, OpensTheMapperEvenWithNoDevicesInstalled) {
    midi.devices = 0;
    keys->OpenPort();
    EXPECT_EQ(midi.Take(), (Calls{"open -1"}));
    EXPECT_TRUE(keys->MIDIPortOk());
}

TEST_F(MIDIKeysTest, ReselectingTheSameDeviceKeepsItsNameButReopensThePort) {
    Select(1);
    EXPECT_EQ(keys->MIDIPortName(), "Synth B");
    keys->SetMIDIDevice(1);
    EXPECT_TRUE(midi.calls.empty());
    EXPECT_EQ(keys->MIDIPortName(), "Synth B");
    keys->OpenPort();
    EXPECT_EQ(midi.Take(), (Calls{"reset 1", "close 1", "open 1"}));
    EXPECT_TRUE(keys->MIDIPortOk());
}

TEST_F(MIDIKeysTest, ADeviceAtOrAboveTheCountIsNotOpened) {
    struct Case {
        const char* what;
        uint32_t devices;
        int device;
        const char* name;
    };
    const Case cases[] = {
        {"index equal to the count", 2, 2, ""},
        {"index above the count", 2, 7, ""},
        // The name lookup compares with the full count; the open with its low 16 bits.
        {"a count of 65536 opens nothing", 65536, 0, "Synth A"},
    };
    for (const Case& c : cases) {
        FakeMidiOut library;
        library.devices = c.devices;
        RecordingHost host;
        TMIDIKeys port(host, library);
        port.SetMIDIDevice(c.device);
        EXPECT_EQ(port.MIDIPortName(), c.name) << c.what;
        library.Take();
        port.OpenPort();
        EXPECT_FALSE(port.MIDIPortOk()) << c.what;
        EXPECT_TRUE(library.calls.empty()) << c.what;
    }
}

TEST_F(MIDIKeysTest, ANameThatCannotBeReadIsEmptyAndALongOneIsCutTo31Characters) {
    midi.names = {std::string(40, 'x')};
    midi.devices = 2; // device 1 is counted but has no name
    keys->SetMIDIDevice(0);
    EXPECT_EQ(keys->MIDIPortName(), std::string(31, 'x'));
    keys->SetMIDIDevice(1);
    EXPECT_EQ(keys->MIDIPortName(), "");
    keys->SetMIDIDevice(-1);
    EXPECT_EQ(keys->MIDIPortName(), "Mapper");
}

TEST_F(MIDIKeysTest, ChangingTheDeviceClosesThePortButLeavesPortOkUntilTheNextOpen) {
    Select(0);
    keys->PressNote(60, 100);
    midi.Take();
    keys->SetMIDIDevice(1);
    EXPECT_EQ(midi.Take(), (Calls{"reset 1", "close 1", "caps 1"}));
    EXPECT_TRUE(keys->MIDIPortOk());
    // Nothing may go out on the closed port, not even the held note's note-off.
    keys->ReleaseNote(60);
    EXPECT_TRUE(midi.calls.empty());
}

TEST_F(MIDIKeysTest, ANoteOnAfterAFailedOpenRetriesAndSendsThatVeryNote) {
    midi.failingOpens = {0};
    Select(0);
    EXPECT_FALSE(keys->MIDIPortOk());
    keys->PressNote(61, 90);
    EXPECT_EQ(midi.Take(), (Calls{"open 0"})) << "still failing: nothing sent, no blink";

    midi.failingOpens.clear();
    keys->PressNote(62, 80);
    EXPECT_EQ(midi.Take(), (Calls{"open 0", "blink", "send 1 00503E90"}));
    EXPECT_TRUE(keys->MIDIPortOk());
    keys->PressNote(64, 80);
    EXPECT_EQ(midi.Take(), (Calls{"blink", "send 1 00504090"})) << "no second open";
}

TEST_F(MIDIKeysTest, ANoteOffWhileThePortIsClosedSendsNothing) {
    Select(0);
    keys->PressNote(60, 100);
    midi.failingOpens = {0};
    keys->OpenPort(); // closes the port, then fails to open it again
    midi.Take();
    keys->ReleaseNote(60);
    EXPECT_TRUE(midi.calls.empty());
}

TEST_F(MIDIKeysTest, TestsOnlyTheLow16BitsOfTheOpenResult) {
    midi.openResult = 0x10000;
    keys->OpenPort();
    EXPECT_TRUE(keys->MIDIPortOk());
    midi.openResult = 0x10001;
    keys->OpenPort();
    EXPECT_FALSE(keys->MIDIPortOk());
}

TEST_F(MIDIKeysTest, ReadsTheChannelAtTheMomentOfSending) {
    Select(0);
    keys->PressNote(60, 100);
    keys->SetMIDIChannel(16);
    keys->ReleaseNote(60);
    EXPECT_EQ(midi.Take(), (Calls{"blink", "send 1 00643C90", "blink", "send 1 00003C8F"}));
}

TEST_F(MIDIKeysTest, HoldsTheChannelWithin1To16) {
    struct Case {
        int written;
        int stored;
    };
    for (const Case& c : {Case{5, 5}, Case{16, 16}, Case{0, 1}, Case{17, 16}, Case{-300, 1}}) {
        keys->SetMIDIChannel(c.written);
        EXPECT_EQ(keys->MIDIChannel(), c.stored) << c.written;
    }
}

TEST_F(MIDIKeysTest, NeverSendsNotesOutsideTheMidiRange) {
    keys->PressNote(128, 100); // no port yet: not even an open is tried for it
    EXPECT_TRUE(midi.calls.empty());
    Select(0);
    keys->PressNote(-1, 100);
    keys->ReleaseNote(128);
    keys->KeysMouseUp(mbLeft, 0, 0, 0); // a release before any mouse press ends note -1
    EXPECT_TRUE(midi.calls.empty());
}

TEST_F(MIDIKeysTest, KeepsTheVelocityWithinADataByte) {
    Select(0);
    keys->PressNote(60, 200);
    keys->PressNote(61, -3);
    EXPECT_EQ(midi.Take(), (Calls{"blink", "send 1 007F3C90", "blink", "send 1 00003D90"}));
}

TEST_F(MIDIKeysTest, ThePedalHoldsNoteOffsUntilAllNotesAreReleased) {
    Select(0);
    keys->PressNote(60, 100);
    host.pedalDown = true;
    keys->ReleaseNote(60);
    EXPECT_EQ(midi.Take(), (Calls{"blink", "send 1 00643C90"}));
    host.pedalDown = false;
    keys->ReleaseAllNotes();
    EXPECT_EQ(midi.Take(), (Calls{"blink", "send 1 00003C80"}));
}

TEST_F(MIDIKeysTest, DestructionResetsThenClosesAnOpenPort) {
    Select(1);
    keys.reset();
    EXPECT_EQ(midi.Take(), (Calls{"reset 1", "close 1"}));
}

TEST_F(MIDIKeysTest, DestructionWithoutAnOpenPortCallsNothing) {
    keys->SetMIDIDevice(0);
    midi.Take();
    keys.reset();
    EXPECT_TRUE(midi.calls.empty());
}

} // namespace

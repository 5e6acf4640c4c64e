#include "keyboard/MIDIKeys.h"
#include "keyboard/MidiMessages.h"
#include "support/FakeMidiOut.h"

#include "KeysTestSupport.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace zevaver {

namespace {

using keystest::Calls;
using keystest::RecordingHost;

TEST(MidiMessages, PackStatusNoteAndVelocityLowestByteFirst) {
    EXPECT_EQ(midi::NoteOn(1, 60, 100), 0x00643C90u);
    EXPECT_EQ(midi::NoteOff(16, 60, 0), 0x00003C8Fu);
    EXPECT_EQ(midi::NoteOn(3, 0, 0), 0x00000092u) << "velocity 0 stays a note-on";
    EXPECT_EQ(midi::NoteOff(1, 64, 5), 0x00054080u);
    EXPECT_EQ(midi::NoteOn(1, 0x13C, 0x164), 0x00643C90u) << "note and velocity cut to 8 bits";
    EXPECT_EQ(midi::NoteOn(17, 1, 1), 0x00010190u) << "channel 17 wraps";
    EXPECT_EQ(midi::NoteOn(0, 1, 1), 0x0001019Fu) << "channel 0 wraps";
}

using fakes::FakeMidiOut;

class MIDIKeysTest : public testing::Test {
protected:
    MIDIKeysTest() {
        // Blinks land in the same log, so their place before each message shows.
        keys->Blink = [this] { midi.calls.push_back("blink"); };
    }

    // Selects a device the way the main window does and forgets the calls made.
    void Select(int device) {
        keys->SetMIDIDevice(device);
        keys->OpenPort();
        midi.Take();
    }

    RecordingHost host;
    TSkinConfig skin;
    FakeMidiOut midi;
    std::optional<TMIDIKeys> keys{std::in_place, host, midi};
};

TEST_F(MIDIKeysTest, NotesStartOnTheChannelSetThenHeldWithin1To16AndEndOnTheirOwnChannel) {
    Select(0);
    keys->PressNote(60, 100);
    keys->SetMIDIChannel(17);
    keys->ReleaseNote(60);
    keys->PressNote(61, 200);
    keys->SetMIDIChannel(-300);
    keys->PressNote(62, -3);
    keys->PressNote(61, 5); // struck again: ends on channel 16, starts on 1
    EXPECT_EQ(keys->MIDIChannel(), 1);
    EXPECT_EQ(midi.Take(), (Calls{"send 1 00643C90", "blink", "send 1 00003C80", "blink",
                                  "send 1 007F3D9F", "blink", "send 1 00003E90", "blink",
                                  "send 1 00003D8F", "blink", "send 1 00053D90", "blink"}));
}

// A note-off is owed only to a note whose note-on went out and has not ended: not to one
// released twice, nor to one a closed or reset port already silenced.
TEST_F(MIDIKeysTest, SendsANoteOffOnlyForANoteThatStillSoundsOnThePort) {
    struct Case {
        const char* what;
        std::function<void(TMIDIKeys&)> between;
        Calls expected;
    };
    const Case cases[] = {
        {"released twice", [](TMIDIKeys& k) { k.ReleaseNote(60); }, {"send 1 00003C80", "blink"}},
        {"port reset", [](TMIDIKeys& k) { k.ResetPort(); }, {"reset 1"}},
        {"device changed",
         [](TMIDIKeys& k) {
             k.SetMIDIDevice(1);
             k.OpenPort();
         },
         {"reset 1", "close 1", "caps 1", "open 1"}},
    };
    for (const Case& c : cases) {
        RecordingHost noteHost;
        FakeMidiOut library;
        TMIDIKeys k(noteHost, library);
        k.Blink = [&library] { library.calls.push_back("blink"); };
        k.SetMIDIDevice(0);
        k.OpenPort();
        k.PressNote(60, 100);
        library.Take();
        c.between(k);
        k.ReleaseNote(60);
        k.ReleaseNote(60);
        EXPECT_EQ(library.Take(), c.expected) << c.what;
    }
}

TEST_F(MIDIKeysTest, OpensTheMapperEvenWithNoDevicesInstalled) {
    midi.devices = 0;
    EXPECT_EQ(keys->MIDIPortName(), "Microsoft MIDI Mapper");
    keys->OpenPort();
    EXPECT_EQ(midi.Take(), (Calls{"open -1"}));
    EXPECT_TRUE(keys->MIDIPortOk());
}

TEST_F(MIDIKeysTest, ReselectingTheSameDeviceKeepsItsNameButReopensThePort) {
    Select(1);
    keys->SetMIDIDevice(1);
    EXPECT_TRUE(midi.calls.empty());
    EXPECT_EQ(keys->MIDIPortName(), "Synth B");
    keys->OpenPort();
    EXPECT_EQ(midi.Take(), (Calls{"reset 1", "close 1", "open 1"}));
    EXPECT_TRUE(keys->MIDIPortOk());
}

TEST_F(MIDIKeysTest, ADeviceAtOrAboveTheCountIsNotOpened) {
    struct Case {
        uint32_t devices;
        int device;
        const char* name;
    };
    // The name lookup compares with the full count, the open with its low 16 bits.
    for (const Case& c : {Case{2, 2, ""}, Case{2, 7, ""}, Case{65536, 0, "Synth A"}}) {
        FakeMidiOut library;
        library.devices = c.devices;
        TMIDIKeys port(host, library);
        port.SetMIDIDevice(c.device);
        EXPECT_EQ(port.MIDIPortName(), c.name) << c.devices << ", " << c.device;
        library.Take();
        port.OpenPort();
        EXPECT_FALSE(port.MIDIPortOk()) << c.devices << ", " << c.device;
        EXPECT_TRUE(library.calls.empty()) << c.devices << ", " << c.device;
    }
}

TEST_F(MIDIKeysTest, ANameThatCannotBeReadIsEmptyAndALongOneIsCutTo31Characters) {
    midi.names = {std::string(40, 'x')}; // device 1 is counted but has no name
    keys->SetMIDIDevice(0);
    EXPECT_EQ(keys->MIDIPortName(), std::string(31, 'x'));
    keys->SetMIDIDevice(1);
    EXPECT_EQ(keys->MIDIPortName(), "");
}

TEST_F(MIDIKeysTest, ANoteOffWhileThePortIsClosedSendsNothing) {
    Select(0);
    keys->PressNote(60, 100);
    keys->PressNote(61, 100);
    midi.Take();
    keys->SetMIDIDevice(1);
    EXPECT_EQ(midi.Take(), (Calls{"reset 1", "close 1", "caps 1"}));
    EXPECT_TRUE(keys->MIDIPortOk()) << "kept until the next open";
    keys->ReleaseNote(60);
    EXPECT_TRUE(midi.calls.empty());

    midi.failingOpens = {1};
    keys->OpenPort();
    midi.Take();
    keys->ReleaseNote(61);
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
    keys->PressNote(64, 80);
    EXPECT_EQ(midi.Take(),
              (Calls{"open 0", "send 1 00503E90", "blink", "send 1 00504090", "blink"}));
    EXPECT_TRUE(keys->MIDIPortOk());
}

TEST_F(MIDIKeysTest, TestsOnlyTheLow16BitsOfTheOpenResult) {
    midi.openResult = 0x10000;
    keys->OpenPort();
    EXPECT_TRUE(keys->MIDIPortOk());
    midi.openResult = 0x10001;
    keys->OpenPort();
    EXPECT_FALSE(keys->MIDIPortOk());
}

TEST_F(MIDIKeysTest, NeverSendsNotesOutsideTheMidiRange) {
    keys->PressNote(128, 100); // no port yet: not even an open is tried for it
    EXPECT_TRUE(midi.calls.empty());
    Select(0);
    keys->PressNote(-1, 100);
    keys->ReleaseNote(128);
    keys->ReleaseNote(-1); // what a mouse release before any press asks for
    EXPECT_TRUE(midi.calls.empty());
}

// A send failing as it does for a port that was unplugged: nothing more goes there, the
// notes it sounded are owed nothing and the pedal holds none of them, the loss is told once,
// and a note-on no longer opens the number, which may name another port by now.
TEST_F(MIDIKeysTest, APortThatWentAwayGetsNothingMoreAndItsNotesAreForgotten) {
    int losses = 0;
    keys->OnPortLost = [&losses](MidiOutPort) { ++losses; }; // closes it
    Select(0);
    host.pedalDown = true;
    keys->PressNote(60, 100);
    keys->ReleaseNote(60); // the pedal holds it
    keys->PressNote(62, 100);
    midi.gonePorts = {1};
    midi.Take();

    keys->PressNote(64, 100);
    EXPECT_EQ(losses, 1);
    EXPECT_TRUE(keys->PortLost());
    EXPECT_FALSE(keys->MIDIPortOk());
    EXPECT_FALSE(keys->IsNoteSounding(60)) << "the pedal holds nothing that sounds nowhere";
    EXPECT_TRUE(keys->DownNotes().Contains(62)) << "the key is still held";
    keys->PressNote(65, 100);
    host.pedalDown = false;
    keys->ReleaseNote(62);
    keys->ReleaseNote(65);
    EXPECT_EQ(losses, 1);
    EXPECT_EQ(midi.Take(), (Calls{"send 1 00644090", "reset 1", "close 1"}));

    keys->OpenPort();
    keys->PressNote(67, 100);
    keys->ReleaseNote(64);
    midi.gonePorts = {2};
    midi.goneResult = MidiOut::NotReady; // only busy
    keys->ReleaseNote(67);
    EXPECT_EQ(midi.Take(),
              (Calls{"open 0", "send 2 00644390", "blink", "send 2 00004380", "blink"}))
        << "the next open plays again; what the lost port owed is not sent";
    EXPECT_EQ(losses, 1);
}

// Handed over by a thread that may wait on the driver: nothing here opens, resets or
// closes; a key typed meanwhile sounds once the port is there, if it is still held.
TEST_F(MIDIKeysTest, APortHandedOverPlaysTheKeysStillHeldAndGoesBackUnclosed) {
    int wanted = 0;
    keys->OnPortWanted = [&wanted] { ++wanted; };
    keys->PressNote(60, 90);
    keys->PressNote(62, 80);
    keys->PressNote(64, 70);
    keys->ReleaseNote(62);
    EXPECT_EQ(wanted, 3);
    EXPECT_TRUE(midi.Take().empty()) << "no open tried here";

    MidiOutPort previous = keys->AttachPort(OpenOutputPort(midi, 0));
    EXPECT_FALSE(previous.IsOpen());
    EXPECT_EQ(midi.Take(),
              (Calls{"open 0", "send 1 005A3C90", "blink", "send 1 00464090", "blink"}));

    MidiOutPort back = keys->DetachPort();
    EXPECT_EQ(back.Get(), 1u);
    EXPECT_TRUE(midi.calls.empty()) << "whoever takes it back resets and closes it";
    keys->ReleaseNote(60);
    EXPECT_TRUE(midi.calls.empty()) << "nothing owed on a port given back";

    previous = keys->AttachPort(OpenOutputPort(midi, 1));
    EXPECT_FALSE(previous.IsOpen());
    midi.Take();
    previous = keys->AttachPort(std::move(back)); // over another: that one comes back
    EXPECT_EQ(previous.Get(), 2u);
    EXPECT_EQ(midi.Take(), (Calls{"send 1 00464090", "blink"})) << "64 is still held";
}

TEST_F(MIDIKeysTest, DestructionResetsThenClosesAnOpenPortAndOnlyThat) {
    Select(1);
    keys.reset();
    EXPECT_EQ(midi.Take(), (Calls{"reset 1", "close 1"}));

    keys.emplace(host, midi);
    keys->SetMIDIDevice(0);
    midi.Take();
    keys.reset();
    EXPECT_TRUE(midi.calls.empty());
}

} // namespace

} // namespace zevaver

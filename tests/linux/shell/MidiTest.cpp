// MIDI output on Linux through a JACK server of the tests' own: the program's own port,
// the destinations listed by name, a chosen one connected and played to, the notes still
// sounding ended by a reset, and no sequencer here (nor a word from alsa-lib about it).
#include "keyboard/linux/LinuxMidiOut.h"

#include <gtest/gtest.h>

#include "support/DeviceIndex.h"
#include "support/JackSession.h"

#include <fcntl.h>

namespace zevaver {

namespace {

using namespace linuxtest;

class LinuxMidi : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        server_ = new JackServer("mk-shell-" + std::to_string(getpid()));
        ready_ = server_->Ready();
    }
    static void TearDownTestSuite() { delete server_; }
    static inline JackServer* server_ = nullptr;
    static inline bool ready_ = false;
};

TEST_F(LinuxMidi, PlaysToTheChosenJackPortAndResetEndsWhatStillSounds) {
    ASSERT_TRUE(ready_);
    JackRecorder recorder;
    ASSERT_TRUE(recorder.Running());
    LinuxMidiOut midi("MK test");
    std::string own;
    EXPECT_EQ(midi.DeviceName(MidiOut::Mapper, own), MidiOut::NoError);
    EXPECT_EQ(own, LinuxMidiOut::OwnPortCaption);
    const int recorderIndex = DeviceIndex(midi, "recorder:in (JACK)");
    ASSERT_GE(recorderIndex, 0);
    EXPECT_EQ(DeviceIndex(midi, "MK test:out (JACK)"), -1) << "its own port is not a destination";

    const MidiOut::OpenResult opened = midi.Open(recorderIndex);
    ASSERT_EQ(opened.result, MidiOut::NoError);
    EXPECT_TRUE(recorder.AwaitConnection());
    EXPECT_EQ(midi.ShortMessage(opened.port, 0x7F3C91), MidiOut::NoError); // on, channel 2
    EXPECT_EQ(midi.ShortMessage(opened.port, 0x403E90), MidiOut::NoError);
    EXPECT_EQ(midi.ShortMessage(opened.port, 0x003E80), MidiOut::NoError);
    EXPECT_EQ(midi.ShortMessage(opened.port, 0x0040B0), MidiOut::NoError) << "dropped, not sent";
    EXPECT_EQ(midi.Reset(opened.port), MidiOut::NoError);
    const std::vector<RecordedEvent> events = recorder.AwaitEvents(4);
    ASSERT_EQ(events.size(), 4u);
    EXPECT_EQ(events[0].status, 0x91);
    EXPECT_EQ(events[0].data1, 0x3C);
    EXPECT_EQ(events[0].data2, 0x7F);
    EXPECT_EQ(events[2].status, 0x80);
    // The reset ended the one note left: channel 2's.
    EXPECT_EQ(events[3].status, 0x81);
    EXPECT_EQ(events[3].data1, 0x3C);
    EXPECT_EQ(midi.Close(opened.port), MidiOut::NoError);
    EXPECT_EQ(midi.ShortMessage(opened.port, 0x7F3C90), 5u) << "a closed handle";
    for (int waited = 0; waited < 2000 && recorder.Connected(); waited += 20)
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    EXPECT_FALSE(recorder.Connected()) << "closing disconnects";
}

TEST_F(LinuxMidi, TheOwnPortPlaysToWhoeverConnectsToIt) {
    ASSERT_TRUE(ready_);
    JackRecorder recorder;
    LinuxMidiOut midi("MK own");
    const MidiOut::OpenResult opened = midi.Open(MidiOut::Mapper);
    ASSERT_EQ(opened.result, MidiOut::NoError);
    EXPECT_FALSE(recorder.Connected());
    jack_status_t status{};
    jack_client_t* patchbay = jack_client_open("patchbay", JackNoStartServer, &status);
    ASSERT_NE(patchbay, nullptr);
    ASSERT_EQ(jack_connect(patchbay, midi.Jack().PortName().c_str(), "recorder:in"), 0);
    jack_client_close(patchbay);
    EXPECT_EQ(midi.ShortMessage(opened.port, 0x503090), MidiOut::NoError);
    const std::vector<RecordedEvent> events = recorder.AwaitEvents(1);
    ASSERT_EQ(events.size(), 1u);
    EXPECT_EQ(events[0].data1, 0x30);
}

TEST(LinuxMidiWithoutServers, ListsNothingOpensNothingAndPrintsNothing) {
    // No JACK server by this name, and no sequencer in this machine.
    setenv("JACK_DEFAULT_SERVER", "mk-nobody-here", 1);
    fflush(stderr);
    const int saved = dup(2);
    char pattern[] = "/tmp/mk-stderr-XXXXXX";
    const int capture = mkstemp(pattern);
    dup2(capture, 2);
    uint32_t count = 0;
    MidiOut::OpenResult mapper, first;
    {
        LinuxMidiOut midi("MK nothing");
        count = midi.DeviceCount();
        mapper = midi.Open(MidiOut::Mapper);
        first = midi.Open(0);
    }
    fflush(stderr);
    dup2(saved, 2);
    close(saved);
    const off_t printed = lseek(capture, 0, SEEK_END);
    close(capture);
    unlink(pattern);
    unsetenv("JACK_DEFAULT_SERVER");
    if (access("/dev/snd/seq", F_OK) == 0) GTEST_SKIP() << "this machine has a sequencer";
    EXPECT_EQ(count, 0u);
    EXPECT_NE(mapper.result, MidiOut::NoError);
    EXPECT_NE(first.result, MidiOut::NoError);
    EXPECT_EQ(printed, 0) << "alsa-lib or JACK printed to the standard error output";
}

} // namespace

} // namespace zevaver

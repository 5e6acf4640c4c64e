// The playing thread's other sources of keys, for Wayland, where the display server gives
// no program the keys typed into others: a keyboard device's records (fed here through a
// pipe, as recorded from a device) and the window's own key events. Each plays through the
// unchanged engine; what a source held is let go when it goes.
#include "services/linux/InputThread.h"

#include "support/EnginePorts.h"
#include "support/FakeMidiOut.h"

#include <linux/input.h>

#include <gtest/gtest.h>

#include <csignal>
#include <fcntl.h>
#include <unistd.h>

#include <chrono>
#include <thread>

namespace zevaver {

namespace {

constexpr uint32_t KeyQ = 16, KeyW = 17, KeyA = 30, X = 8; // kernel codes; X adds 8

// One record as a keyboard device delivers it.
input_event Record(uint16_t type, uint16_t code, int32_t value) {
    input_event event{};
    event.time.tv_sec = 1700000000;
    event.type = type;
    event.code = code;
    event.value = value;
    return event;
}

class KeySources : public ::testing::Test {
protected:
    void SetUp() override {
        KeyNoteTable layout{};
        layout['Q'] = 60;
        layout['W'] = 62;
        engine.Send(play::SetLayout{layout});
        ASSERT_TRUE(fakes::AttachDevice(engine, midi, 0));
        ASSERT_TRUE(thread.Start(engine, false));
        (void)thread.AwaitReady();
        int ends[2];
        ASSERT_EQ(pipe2(ends, O_CLOEXEC | O_NONBLOCK), 0);
        device = ends[0];
        writer = ends[1];
    }
    void TearDown() override {
        thread.Stop();
        if (writer >= 0) close(writer);
    }
    // Writes the records' bytes in pieces of `piece` bytes, with a pause between.
    void Write(std::initializer_list<input_event> records, size_t piece = sizeof(input_event)) {
        std::vector<uint8_t> bytes;
        for (const input_event& record : records) {
            const auto* at = reinterpret_cast<const uint8_t*>(&record);
            bytes.insert(bytes.end(), at, at + sizeof record);
        }
        for (size_t at = 0; at < bytes.size(); at += piece) {
            ASSERT_GT(write(writer, bytes.data() + at, std::min(piece, bytes.size() - at)), 0);
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
    }
    // The notes sent so far, once there are `expected` of them (or a while has passed); a
    // moment more shows any that should not be there.
    std::vector<std::string> Sends(size_t expected) {
        const auto sent = [&] {
            thread.Settle();
            std::vector<std::string> sends;
            for (const std::string& call : midi.calls)
                if (call.starts_with("send")) sends.push_back(call.substr(7));
            return sends;
        };
        for (int waited = 0; waited < 300 && sent().size() < expected; ++waited)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        return sent();
    }
    void AwaitDevices(int count) {
        for (int waited = 0; waited < 200 && thread.KeyDevices() != count; ++waited)
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }

    fakes::FakeMidiOut midi;
    LinuxInputThread thread;
    PlayingEngine engine{thread, midi};
    int device = -1, writer = -1;
};

TEST_F(KeySources, RecordsFromAKeyboardDevicePlayAndItsRepeatsAndOtherEventsDoNot) {
    ASSERT_TRUE(thread.AddKeyDevice(device));
    AwaitDevices(1);
    EXPECT_EQ(thread.KeyDevices(), 1);
    // As a device reports a key: the scan code, the key, the end of the report; records
    // written in pieces that split them.
    Write({Record(EV_MSC, MSC_SCAN, 0x10), Record(EV_KEY, KeyQ, 1), Record(EV_SYN, SYN_REPORT, 0),
           Record(EV_KEY, KeyQ, 2), Record(EV_KEY, KeyQ, 2), Record(EV_SYN, SYN_REPORT, 0),
           Record(EV_KEY, KeyQ, 0), Record(EV_SYN, SYN_REPORT, 0), Record(EV_KEY, KeyA, 1),
           Record(EV_KEY, KeyA, 0)},
          7);
    EXPECT_EQ(Sends(2), (std::vector<std::string>{"007F3C90", "00003C80"}))
        << "one note for Q, held and repeated; A plays nothing";
}

TEST_F(KeySources, AKeyHeldWhenTheDeviceGoesIsLetGo) {
    ASSERT_TRUE(thread.AddKeyDevice(device));
    Write({Record(EV_KEY, KeyW, 1), Record(EV_SYN, SYN_REPORT, 0)});
    EXPECT_EQ(Sends(1), (std::vector<std::string>{"007F3E90"}));
    close(writer); // unplugged
    writer = -1;
    AwaitDevices(0);
    EXPECT_EQ(thread.KeyDevices(), 0);
    EXPECT_EQ(Sends(2), (std::vector<std::string>{"007F3E90", "00003E80"}));
}

TEST_F(KeySources, AfterDroppedRecordsTheKeysAStreamCannotVouchForAreLetGo) {
    ASSERT_TRUE(thread.AddKeyDevice(device));
    Write({Record(EV_KEY, KeyQ, 1), Record(EV_SYN, SYN_DROPPED, 0), Record(EV_KEY, KeyW, 1),
           Record(EV_SYN, SYN_REPORT, 0)});
    EXPECT_EQ(Sends(2), (std::vector<std::string>{"007F3C90", "00003C80"}))
        << "W came while records were dropped; Q's release may have been among them";
}

TEST_F(KeySources, DroppingTheDevicesLetsGoOfWhatTheyHold) {
    ASSERT_TRUE(thread.AddKeyDevice(device));
    Write({Record(EV_KEY, KeyQ, 1)});
    EXPECT_EQ(Sends(1).size(), 1u);
    thread.DropKeyDevices();
    AwaitDevices(0);
    EXPECT_EQ(Sends(2), (std::vector<std::string>{"007F3C90", "00003C80"}));
    // No longer read: the pipe has no reader left.
    signal(SIGPIPE, SIG_IGN);
    const input_event record = Record(EV_KEY, KeyW, 1);
    EXPECT_EQ(write(writer, &record, sizeof record), -1);
    EXPECT_EQ(Sends(2).size(), 2u);
}

TEST_F(KeySources, TheWindowsOwnKeysPlayAndItsRepeatsDoNot) {
    thread.FeedKey(KeyQ + X, false);
    thread.FeedKey(KeyQ + X, false); // the toolkit's repeat
    thread.FeedKey(KeyQ + X, true);
    thread.FeedKey(KeyA + X, false);
    EXPECT_EQ(Sends(2), (std::vector<std::string>{"007F3C90", "00003C80"}));
}

} // namespace

} // namespace zevaver

#include "services/InputEvents.h"

#include <gtest/gtest.h>

#include <cstring>

namespace zevaver {

namespace {

using namespace input;

// A record as the kernel lays it out: the time first, then type, code and value.
std::vector<uint8_t> Bytes(size_t size, uint16_t type, uint16_t code, int32_t value) {
    std::vector<uint8_t> bytes(size, 0xAB); // a time of any value
    std::memcpy(bytes.data() + size - 8, &type, 2);
    std::memcpy(bytes.data() + size - 6, &code, 2);
    std::memcpy(bytes.data() + size - 4, &value, 4);
    return bytes;
}

struct Stream {
    explicit Stream(size_t size) : recordSize(size), reader(size) {}
    void Add(uint16_t type, uint16_t code, int32_t value) {
        const std::vector<uint8_t> record = Bytes(recordSize, type, code, value);
        bytes.insert(bytes.end(), record.begin(), record.end());
    }
    // The bytes in pieces of the given sizes (the rest in one), and the records read.
    std::vector<Record> Read(std::initializer_list<size_t> pieces) {
        std::vector<Record> read;
        size_t at = 0;
        const auto feed = [&](size_t size) {
            reader.Feed(bytes.data() + at, size, [&](const Record& r) { read.push_back(r); });
            at += size;
        };
        for (const size_t piece : pieces) feed(std::min(piece, bytes.size() - at));
        feed(bytes.size() - at);
        bytes.clear();
        return read;
    }
    size_t recordSize;
    RecordReader reader;
    std::vector<uint8_t> bytes;
};

TEST(InputEvents, RecordsSplitBetweenReadsAreReadWholeOnEitherMachine) {
    for (const size_t size : {24u, 16u}) {
        Stream stream(size);
        stream.Add(EvKey, 16, 1);
        stream.Add(EvSyn, SynReport, 0);
        stream.Add(EvKey, 16, 0);
        // A piece ends inside the first record, one inside the third, one byte at a time.
        const std::vector<Record> read = stream.Read({5, size * 2, 1, 1});
        ASSERT_EQ(read.size(), 3u) << size;
        EXPECT_EQ(read[0].type, EvKey);
        EXPECT_EQ(read[0].code, 16);
        EXPECT_EQ(read[0].value, 1);
        EXPECT_EQ(read[1].type, EvSyn);
        EXPECT_EQ(read[2].value, 0);
        stream.Add(EvKey, 30, -1);
        EXPECT_EQ(stream.Read({})[0].value, -1) << "the value is signed";
    }
}

TEST(InputEvents, OnlyPressesAndReleasesOfHeldKeysAreKeys) {
    DeviceKeys keys;
    KeyTransition t;
    EXPECT_FALSE(keys.Apply({EvKey, 16, 0}, t)) << "a key held before the reading began";
    EXPECT_TRUE(keys.Apply({EvKey, 16, 1}, t));
    EXPECT_EQ(t, (KeyTransition{16, false}));
    EXPECT_FALSE(keys.Apply({EvKey, 16, 2}, t)) << "the device's repeat";
    EXPECT_FALSE(keys.Apply({2, 0, 5}, t)) << "a relative axis";
    EXPECT_FALSE(keys.Apply({4, 4, 16}, t)) << "a scan code report";
    EXPECT_FALSE(keys.Apply({EvKey, KeyCodeCount, 1}, t));
    EXPECT_TRUE(keys.Apply({EvKey, 16, 0}, t));
    EXPECT_EQ(t, (KeyTransition{16, true}));
}

// The kernel drops records when its buffer fills: a release may be among them, and a note
// would sound on. What the device holds when it reports again decides.
TEST(InputEvents, AfterADropTheKeysTheDeviceNoLongerHoldsAreLetGo) {
    DeviceKeys keys;
    KeyTransition t;
    for (const uint16_t code : {16, 17, 18}) ASSERT_TRUE(keys.Apply({EvKey, code, 1}, t));
    EXPECT_FALSE(keys.Apply({EvSyn, SynDropped, 0}, t));
    EXPECT_FALSE(keys.Apply({EvKey, 17, 0}, t)) << "nothing counts until the report";
    EXPECT_FALSE(keys.ResyncNeeded());
    EXPECT_FALSE(keys.Apply({EvSyn, SynReport, 0}, t));
    ASSERT_TRUE(keys.ResyncNeeded());
    std::bitset<KeyCodeCount> down;
    down.set(18);
    EXPECT_EQ(keys.Resync(down), (std::vector<KeyTransition>{{16, true}, {17, true}}));
    EXPECT_FALSE(keys.ResyncNeeded());
    EXPECT_EQ(keys.ReleaseAll(), (std::vector<KeyTransition>{{18, true}})) << "unplugged";
    EXPECT_TRUE(keys.ReleaseAll().empty());
}

} // namespace

} // namespace zevaver

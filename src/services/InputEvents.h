// Keys read straight from a keyboard device (Linux's /dev/input/event*, or anything that
// delivers the same records, a pipe in the tests): the kernel's input_event records, each a
// time, a type, a code and a value in the machine's byte order, the time's size depending
// on the machine. Bytes may arrive in pieces; a record split between two reads is put
// together. What a record means for the keys: a press or a release by kernel key code (the
// device's own repeats are not keys), and, after the kernel had to drop records, which keys
// to let go that were let go meanwhile.
#pragma once

#include <bitset>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <vector>

namespace zevaver {

namespace input {

inline constexpr uint16_t EvSyn = 0, EvKey = 1;
inline constexpr uint16_t SynReport = 0, SynDropped = 3;
inline constexpr uint16_t KeyCodeCount = 768; // the kernel's KEY_CNT

struct Record {
    uint16_t type = 0;
    uint16_t code = 0;
    int32_t value = 0;
};

struct KeyTransition {
    uint32_t kernelCode = 0;
    bool released = false;
    friend bool operator==(const KeyTransition&, const KeyTransition&) = default;
};

// One device's stream of records.
class RecordReader {
public:
    // recordSize: the size of the kernel's record on this machine (24 bytes on 64-bit).
    explicit RecordReader(size_t recordSize) noexcept : recordSize_(recordSize) {}

    // The records the bytes complete, in order.
    void Feed(const uint8_t* bytes, size_t size, const std::function<void(const Record&)>& each);

private:
    size_t recordSize_;
    std::vector<uint8_t> partial_;
};

// The keys one device holds, and what its records mean for them.
class DeviceKeys {
public:
    // A record: the key transition it is, if any. Records between a drop and the report
    // that ends it mean nothing (the kernel's state at the report is the truth).
    [[nodiscard]] bool Apply(const Record& record, KeyTransition& transition) noexcept;
    // The kernel dropped records and a report followed: ResyncNeeded holds until Resync.
    [[nodiscard]] bool ResyncNeeded() const noexcept { return resync_; }
    // The keys the device holds now, as far as it can tell (none when it cannot): every key
    // held here that is not is let go.
    [[nodiscard]] std::vector<KeyTransition> Resync(const std::bitset<KeyCodeCount>& downNow);
    // The device went away: everything it held is let go.
    [[nodiscard]] std::vector<KeyTransition> ReleaseAll();

private:
    std::bitset<KeyCodeCount> down_;
    bool dropping_ = false;
    bool resync_ = false;
};

} // namespace input

} // namespace zevaver

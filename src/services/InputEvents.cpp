#include "services/InputEvents.h"

#include <algorithm>
#include <cstring>

namespace zevaver {

namespace input {

void RecordReader::Feed(const uint8_t* bytes, size_t size,
                        const std::function<void(const Record&)>& each) {
    // Less than a record is no record: nothing to read such a stream by.
    if (recordSize_ < 8) return;
    const auto decode = [&](const uint8_t* at) {
        // The type, code and value close the record, after the time.
        Record record;
        const uint8_t* tail = at + recordSize_ - 8;
        std::memcpy(&record.type, tail, 2);
        std::memcpy(&record.code, tail + 2, 2);
        std::memcpy(&record.value, tail + 4, 4);
        each(record);
    };
    size_t at = 0;
    if (!partial_.empty()) {
        const size_t wanted = std::min(recordSize_ - partial_.size(), size);
        partial_.insert(partial_.end(), bytes, bytes + wanted);
        at = wanted;
        if (partial_.size() < recordSize_) return;
        decode(partial_.data());
        partial_.clear();
    }
    for (; size - at >= recordSize_; at += recordSize_) decode(bytes + at);
    partial_.assign(bytes + at, bytes + size);
}

bool DeviceKeys::Apply(const Record& record, KeyTransition& transition) noexcept {
    if (record.type == EvSyn && record.code == SynDropped) {
        dropping_ = true;
        return false;
    }
    if (dropping_) {
        if (record.type == EvSyn && record.code == SynReport) {
            dropping_ = false;
            resync_ = true;
        }
        return false;
    }
    // 0 a release, 1 a press; 2 is the device repeating a held key.
    if (record.type != EvKey || record.code >= KeyCodeCount || record.value < 0 || record.value > 1)
        return false;
    const bool released = record.value == 0;
    // A release of a key not held (held before the reading began) says nothing.
    if (released && !down_.test(record.code)) return false;
    down_.set(record.code, !released);
    transition = {record.code, released};
    return true;
}

std::vector<KeyTransition> DeviceKeys::Resync(const std::bitset<KeyCodeCount>& downNow) {
    resync_ = false;
    std::vector<KeyTransition> releases;
    for (uint32_t code = 0; code < KeyCodeCount; ++code) {
        if (down_.test(code) && !downNow.test(code)) {
            down_.reset(code);
            releases.push_back({code, true});
        }
    }
    return releases;
}

std::vector<KeyTransition> DeviceKeys::ReleaseAll() {
    return Resync({});
}

} // namespace input

} // namespace zevaver

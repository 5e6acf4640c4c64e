// The platform's MIDI library in memory, recording every call except the device count:
// shared by the unit tests, the Windows tests and the benchmarks. The window's thread reads
// the list while the engine's thread sends, so the log takes one call at a time.
#pragma once

#include "keyboard/MidiOut.h"

#include <cstdint>
#include <cstdio>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <utility>
#include <vector>

namespace zevaver {

namespace fakes {

class FakeMidiOut : public MidiOut {
public:
    uint32_t devices = 2;
    // Device names by index; a counted device past the list has no readable name.
    std::vector<std::string> names = {"Synth A", "Synth B"};
    std::set<int> failingOpens;
    bool mapperNamed = true;     // with no output at all, the library may not name its mapper
    Result openResult = NoError; // for devices that open
    // Open ports that went away: a send to one fails as the library's does.
    std::set<Handle> gonePorts;
    Result goneResult = 68; // MIDIERR_NODEVICE
    std::vector<std::string> calls;

    uint32_t DeviceCount() override { return devices; }
    Result DeviceName(int device, std::string& name) override {
        (void)Log("caps " + std::to_string(device));
        if (device == Mapper && !mapperNamed) return 2;
        if (device != Mapper && (device < 0 || device >= static_cast<int>(names.size()))) return 2;
        name = device == Mapper ? "Microsoft MIDI Mapper" : names[static_cast<size_t>(device)];
        return NoError;
    }
    OpenResult Open(int device) override {
        (void)Log("open " + std::to_string(device));
        if (failingOpens.count(device) != 0) return {4, 0};
        return {openResult, nextPort_++};
    }
    Result ShortMessage(Handle port, uint32_t message) override {
        char hex[9];
        std::snprintf(hex, sizeof hex, "%08X", static_cast<unsigned>(message));
        (void)Log("send " + std::to_string(port) + " " + hex);
        return gonePorts.count(port) != 0 ? goneResult : NoError;
    }
    Result Reset(Handle port) override { return Log("reset " + std::to_string(port)); }
    Result Close(Handle port) override { return Log("close " + std::to_string(port)); }
    Result Log(const std::string& call) {
        const std::lock_guard lock(*mutex_);
        calls.push_back(call);
        return NoError;
    }
    std::vector<std::string> Take() {
        const std::lock_guard lock(*mutex_);
        return std::exchange(calls, {});
    }
    // The devices opened so far, in order.
    [[nodiscard]] std::vector<int> Opened() const {
        std::vector<int> opened;
        for (const std::string& call : calls)
            if (call.rfind("open ", 0) == 0) opened.push_back(std::stoi(call.substr(5)));
        return opened;
    }

private:
    // Shared by copies, so one can still be made (a test's starting set-up).
    std::shared_ptr<std::mutex> mutex_ = std::make_shared<std::mutex>();
    Handle nextPort_ = 1;
};

} // namespace fakes

} // namespace zevaver

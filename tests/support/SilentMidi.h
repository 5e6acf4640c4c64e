// A MIDI library with one device that accepts everything and records nothing: for tests
// and benchmarks of the window, where the notes are not what is looked at.
#pragma once

#include "keyboard/MidiOut.h"

#include <cstdint>
#include <string>

namespace zevaver {

namespace fakes {

class SilentMidi final : public MidiOut {
public:
    uint32_t DeviceCount() override { return 1; }
    Result DeviceName(int, std::string& name) override {
        name = "Synth";
        return NoError;
    }
    OpenResult Open(int device) override { return {NoError, static_cast<Handle>(0x100 + device)}; }
    Result ShortMessage(Handle, uint32_t) override { return NoError; }
    Result Reset(Handle) override { return NoError; }
    Result Close(Handle) override { return NoError; }
};

} // namespace fakes

} // namespace zevaver

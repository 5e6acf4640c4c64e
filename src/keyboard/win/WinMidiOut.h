// The platform's MIDI output library (winmm) behind the MidiOut interface; a thin
// pass-through that adds no behaviour of its own.
#pragma once

#include "keyboard/MidiOut.h"

namespace zevaver {

class WinMidiOut final : public MidiOut {
public:
    [[nodiscard]] uint32_t DeviceCount() override;
    [[nodiscard]] Result DeviceName(int device, std::string& name) override;
    [[nodiscard]] OpenResult Open(int device) override;
    [[nodiscard]] Result ShortMessage(Handle port, uint32_t message) override;
    [[nodiscard]] Result Reset(Handle port) override;
    [[nodiscard]] Result Close(Handle port) override;
};

} // namespace zevaver

// Where a MIDI output of this name stands in the library's list now.
#pragma once

#include "engine/PortChoice.h"

#include <algorithm>
#include <string>

namespace zevaver {

namespace linuxtest {

// -1 when no output has the name.
inline int DeviceIndex(MidiOut& midi, const std::string& name) {
    const PortList list = ReadPorts(midi);
    const auto found = std::find(list.ports.begin(), list.ports.end(), name);
    return found == list.ports.end() ? -1 : static_cast<int>(found - list.ports.begin());
}

} // namespace linuxtest

} // namespace zevaver

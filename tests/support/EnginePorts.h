// Hands the engine a port the way the main window does: opened on the caller's side.
#pragma once

#include "engine/PlayingEngine.h"

namespace zevaver {

namespace fakes {

inline bool AttachDevice(PlayingEngine& engine, MidiOut& midi, int device, uint32_t id = 1) {
    MidiOutPort port = OpenOutputPort(midi, device);
    if (!port.IsOpen()) return false;
    engine.Send(play::AttachPort{port.Release(), device, id});
    return true;
}

} // namespace fakes

} // namespace zevaver

#include "keyboard/win/WinMidiOut.h"

#include <windows.h>
#include <mmsystem.h>

#include <cstring>

namespace zevaver {

// The capabilities record the library is given is always this size.
static_assert(sizeof(MIDIOUTCAPSA) == 52);
// A busy port is the one failed send that does not mean the port is gone.
static_assert(MidiOut::NotReady == MIDIERR_NOTREADY);

namespace {

HMIDIOUT ToHandle(MidiOut::Handle port) noexcept {
    return reinterpret_cast<HMIDIOUT>(port);
}

} // namespace

uint32_t WinMidiOut::DeviceCount() {
    return midiOutGetNumDevs();
}

MidiOut::Result WinMidiOut::DeviceName(int device, std::string& name) {
    MIDIOUTCAPSA caps{};
    // -1 reaches the library as MIDI_MAPPER.
    const MMRESULT result =
        midiOutGetDevCapsA(static_cast<UINT_PTR>(static_cast<INT_PTR>(device)), &caps, sizeof caps);
    if (result == MMSYSERR_NOERROR) {
        name.assign(caps.szPname, strnlen(caps.szPname, sizeof caps.szPname - 1));
    }
    return result;
}

MidiOut::OpenResult WinMidiOut::Open(int device) {
    HMIDIOUT port = nullptr;
    // No callback: no driver thread ever calls back into the program.
    const MMRESULT result = midiOutOpen(&port, static_cast<UINT>(device), 0, 0, CALLBACK_NULL);
    return {result, reinterpret_cast<Handle>(port)};
}

MidiOut::Result WinMidiOut::ShortMessage(Handle port, uint32_t message) {
    return midiOutShortMsg(ToHandle(port), message);
}

MidiOut::Result WinMidiOut::Reset(Handle port) {
    return midiOutReset(ToHandle(port));
}

MidiOut::Result WinMidiOut::Close(Handle port) {
    return midiOutClose(ToHandle(port));
}

} // namespace zevaver

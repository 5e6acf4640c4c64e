#include "keyboard/MidiOut.h"

namespace zevaver {

MidiOutPort OpenOutputPort(MidiOut& library, int device) {
    // The library reports the count as a 16-bit number.
    const auto count = static_cast<uint16_t>(library.DeviceCount());
    // The mapper (-1) is tried even when no device is installed.
    if (device >= int{count}) return {};
    const MidiOut::OpenResult opened = library.Open(device);
    if ((opened.result & 0xFFFFu) != MidiOut::NoError) return {};
    return {library, opened.port};
}

} // namespace zevaver

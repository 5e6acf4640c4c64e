#include "keyboard/linux/LinuxMidiOut.h"

#include <sys/eventfd.h>
#include <unistd.h>

#include <cerrno>

namespace zevaver {

namespace {

// The Windows library's codes, which the program already knows how to read.
constexpr MidiOut::Result BadDevice = 2;     // MMSYSERR_BADDEVICEID
constexpr MidiOut::Result NoDriver = 6;      // MMSYSERR_NODRIVER
constexpr MidiOut::Result InvalidHandle = 5; // MMSYSERR_INVALHANDLE
constexpr MidiOut::Result NoDevice = 68;     // MIDIERR_NODEVICE

constexpr uint8_t NoteOff = 0x80;
constexpr uint8_t NoteOn = 0x90;

MidiOut::Result ResultOf(int sent) noexcept {
    if (sent == 0) return MidiOut::NoError;
    return sent == -EAGAIN ? MidiOut::NotReady : NoDevice;
}

} // namespace

LinuxMidiOut::LinuxMidiOut(std::string name)
    : name_(std::move(name)), changes_(eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK)) {
    (void)alsa_.Open(name_);
    jack_.OnChange = [this] {
        const uint64_t one = 1;
        if (changes_ >= 0) (void)!write(changes_, &one, sizeof one);
    };
    (void)jack_.Ensure(name_);
}

LinuxMidiOut::~LinuxMidiOut() {
    for (size_t i = 0; i < ports_.size(); ++i)
        if (ports_[i].used) (void)Close(i + 1);
    jack_.OnChange = nullptr;
    if (changes_ >= 0) close(changes_);
}

uint32_t LinuxMidiOut::DeviceCount() {
    std::vector<MidiDestination> listed;
    alsa_.List(listed);
    if (jack_.Ensure(name_)) jack_.List(listed);
    const std::lock_guard lock(listMutex_);
    listed_ = std::move(listed);
    return static_cast<uint32_t>(listed_.size());
}

MidiOut::Result LinuxMidiOut::DeviceName(int device, std::string& name) {
    if (device == Mapper) {
        name = OwnPortCaption;
        return NoError;
    }
    const std::lock_guard lock(listMutex_);
    if (device < 0 || static_cast<size_t>(device) >= listed_.size()) return BadDevice;
    name = listed_[static_cast<size_t>(device)].name;
    return NoError;
}

MidiOut::OpenResult LinuxMidiOut::Open(int device) {
    OpenPort* free = nullptr;
    for (OpenPort& port : ports_)
        if (!port.used && !free) free = &port;
    if (!free) return {NoDriver, 0};
    OpenPort opened;
    opened.used = true;
    if (device == Mapper) {
        opened.own = true;
        if (!alsa_.IsOpen() && !jack_.Ensure(name_)) return {NoDriver, 0};
    } else {
        {
            const std::lock_guard lock(listMutex_);
            if (device < 0 || static_cast<size_t>(device) >= listed_.size()) return {BadDevice, 0};
            opened.destination = listed_[static_cast<size_t>(device)];
        }
        const MidiDestination& to = opened.destination;
        const bool connected = to.backend == MidiDestination::Backend::Alsa
                                   ? alsa_.Connect(to.client, to.port)
                                   : jack_.Connect(to.jackPort);
        if (!connected) return {NoDevice, 0};
    }
    *free = std::move(opened);
    return {NoError, static_cast<Handle>(free - ports_.data()) + 1};
}

LinuxMidiOut::OpenPort* LinuxMidiOut::PortOf(Handle handle) noexcept {
    if (handle == 0 || handle > ports_.size()) return nullptr;
    OpenPort& port = ports_[handle - 1];
    return port.used ? &port : nullptr;
}

MidiOut::Result LinuxMidiOut::Send(const OpenPort& port, uint8_t status, uint8_t data1,
                                   uint8_t data2) noexcept {
    const int sequencer = alsa_.IsOpen() ? alsa_.Send(status, data1, data2) : -ENODEV;
    const int jack = jack_.Alive() ? jack_.Send(status, data1, data2) : -ENODEV;
    if (port.own)
        return (sequencer == 0 || jack == 0) ? NoError
                                             : ResultOf(sequencer == -ENODEV ? jack : sequencer);
    return ResultOf(port.destination.backend == MidiDestination::Backend::Alsa ? sequencer : jack);
}

MidiOut::Result LinuxMidiOut::ShortMessage(Handle handle, uint32_t message) {
    OpenPort* port = PortOf(handle);
    if (!port) return InvalidHandle;
    const auto status = static_cast<uint8_t>(message & 0xFF);
    const auto data1 = static_cast<uint8_t>((message >> 8) & 0x7F);
    const auto data2 = static_cast<uint8_t>((message >> 16) & 0x7F);
    const uint8_t kind = status & 0xF0;
    // Only notes are ever sent; anything else has no place on the wire here.
    if (kind != NoteOn && kind != NoteOff) return NoError;
    const Result result = Send(*port, status, data1, data2);
    if (result == NoError) {
        const size_t slot = (status & 0x0Fu) * 128u + data1;
        port->sounding.set(slot, kind == NoteOn && data2 != 0);
    }
    return result;
}

// Every note still sounding through this port ends.
MidiOut::Result LinuxMidiOut::Reset(Handle handle) {
    OpenPort* port = PortOf(handle);
    if (!port) return InvalidHandle;
    for (size_t slot = 0; slot < port->sounding.size(); ++slot) {
        if (!port->sounding.test(slot)) continue;
        (void)Send(*port, static_cast<uint8_t>(NoteOff | (slot / 128)),
                   static_cast<uint8_t>(slot % 128), 0);
    }
    port->sounding.reset();
    return NoError;
}

MidiOut::Result LinuxMidiOut::Close(Handle handle) {
    OpenPort* port = PortOf(handle);
    if (!port) return InvalidHandle;
    if (!port->own) {
        const MidiDestination& to = port->destination;
        if (to.backend == MidiDestination::Backend::Alsa)
            alsa_.Disconnect(to.client, to.port);
        else
            jack_.Disconnect(to.jackPort);
    }
    *port = OpenPort{};
    return NoError;
}

bool LinuxMidiOut::TakeChanges() {
    bool changed = alsa_.TakeAnnouncements();
    uint64_t count = 0;
    if (changes_ >= 0 && read(changes_, &count, sizeof count) == sizeof count) changed = true;
    return changed;
}

} // namespace zevaver

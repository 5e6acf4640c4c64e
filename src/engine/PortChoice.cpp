#include "engine/PortChoice.h"

#include <utility>

namespace zevaver {

namespace {

std::string ReadName(MidiOut& midi, int32_t device) {
    std::string name;
    if (midi.DeviceName(device, name) != MidiOut::NoError)
        name = "MIDI output " + std::to_string(device);
    return name;
}

} // namespace

int32_t ClampedDevice(int32_t id, int deviceCount) noexcept {
    return id < deviceCount ? id : 0;
}

std::string PortList::NameOf(int32_t device) const {
    if (device == MidiOut::Mapper) return mapper;
    if (device < 0 || device >= Count()) return {};
    return ports[static_cast<size_t>(device)];
}

std::vector<std::string> PortList::Captions() const {
    std::vector<std::string> captions{mapper};
    captions.insert(captions.end(), ports.begin(), ports.end());
    return captions;
}

PortList ReadPorts(MidiOut& midi) {
    PortList list;
    // With no output at all the library may not name its mapper; it is still there.
    if (std::string name; midi.DeviceName(MidiOut::Mapper, name) == MidiOut::NoError)
        list.mapper = std::move(name);
    // The library reports the count as a 16-bit number.
    const auto count = static_cast<uint16_t>(midi.DeviceCount());
    list.ports.reserve(count);
    for (int32_t device = 0; device < count; ++device) list.ports.push_back(ReadName(midi, device));
    return list;
}

PortPick PickPort(const PortList& list, int32_t device, std::string_view name) {
    // The mapper is always there, whatever it is called.
    if (device == MidiOut::Mapper) return {device, false};
    if (name.empty()) return {ClampedDevice(device, list.Count()), false};
    int32_t first = -1;
    for (int32_t at = 0; at < list.Count(); ++at) {
        if (list.ports[static_cast<size_t>(at)] != name) continue;
        if (at == device) return {at, false};
        if (first < 0) first = at;
    }
    if (first >= 0) return {first, false};
    // The stand-in is the one a number past the list gets.
    return {ClampedDevice(list.Count(), list.Count()), true};
}

PortStep PortChoice::Start(const PortList& list) {
    open_ = {};
    away_ = false;
    lossTold_ = false;
    PortStep step = Follow(list, true);
    step.reportFailure = true;
    return step;
}

PortStep PortChoice::Select(int32_t device, const PortList& list) {
    settings_.Device = ClampedDevice(device, list.Count());
    settings_.DeviceName = list.NameOf(settings_.Device);
    away_ = false;
    lossTold_ = false;
    open_ = {settings_.Device, settings_.DeviceName, true};
    PortStep step;
    step.engine = PortStep::Engine::Open;
    step.device = settings_.Device;
    step.reportFailure = true;
    return step;
}

PortStep PortChoice::Refresh(const PortList& list) {
    return Follow(list, false);
}

// Told once: the port may still be listed for a moment after it went (or a driver may fail
// every send), and the user hears of it again only after choosing or getting a port back.
PortStep PortChoice::Lost(const PortList& list) {
    const std::string lost = open_.name;
    PortStep step = Follow(list, true);
    if (step.lostPort.empty() && !lossTold_) step.lostPort = lost;
    lossTold_ = true;
    return step;
}

PortStep PortChoice::Follow(const PortList& list, bool reopen) {
    const PortPick pick = PickPort(list, settings_.Device, settings_.DeviceName);
    PortStep step;
    const bool wasAway = away_;
    away_ = pick.away;
    if (!away_) {
        settings_.Device = pick.device;
        if (settings_.DeviceName.empty()) settings_.DeviceName = list.NameOf(pick.device);
        if (wasAway) lossTold_ = false;
    } else if (!wasAway && open_.known && !lossTold_) {
        step.lostPort = settings_.DeviceName;
        lossTold_ = true;
    }
    // The name tells whether the port open now is still the one wanted: numbers shift.
    OpenPort target{pick.device, list.NameOf(pick.device), true};
    if (reopen || !open_.known || target.name != open_.name) {
        step.engine = PortStep::Engine::Open;
    } else if (target.device != open_.device) {
        step.engine = PortStep::Engine::Renumber;
    }
    step.device = target.device;
    open_ = std::move(target);
    return step;
}

} // namespace zevaver

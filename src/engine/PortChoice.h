// Which MIDI output the program plays on. Outputs are numbered by the library in the order
// it lists them, and that order changes whenever a port comes or goes (an interface plugged
// in, a loopback port created, an endpoint the system's MIDI service adds or removes), so
// the user's port is remembered by its name as well as its number:
//  - the port of that name is taken wherever it now stands; of several ports sharing the
//    name, the one at the remembered number, else the first;
//  - while no port has that name, the first port stands in (as for a remembered number
//    past the list) but the choice is kept, and the port is taken again once it is back;
//  - a choice remembered without a name (settings of an earlier version) goes by number
//    and learns the name of the port it finds there.
// The window's thread decides here; the engine, which owns the open port, is told what to
// open.
#pragma once

#include "engine/Settings.h"
#include "keyboard/MidiOut.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace zevaver {

// The outputs as the library lists them at one moment.
struct PortList {
    std::string mapper = "Microsoft MIDI Mapper";
    std::vector<std::string> ports; // by number from 0

    [[nodiscard]] int Count() const noexcept { return static_cast<int>(ports.size()); }
    // The mapper's name for -1, "" for a number past the list.
    [[nodiscard]] std::string NameOf(int32_t device) const;
    // The menu's captions: the mapper first, then the ports.
    [[nodiscard]] std::vector<std::string> Captions() const;
    friend bool operator==(const PortList&, const PortList&) = default;
};

// The count and every name, as the library gives them now (a port whose name cannot be
// read is called "MIDI output N").
[[nodiscard]] PortList ReadPorts(MidiOut& midi);

// A device at or past the count falls back to device 0 (the mapper, -1, stays).
[[nodiscard]] int32_t ClampedDevice(int32_t id, int deviceCount) noexcept;

struct PortPick {
    int32_t device = 0; // -1 the mapper; may lie past the list (then nothing opens)
    bool away = false;  // no port has the chosen name; device is the stand-in
};

// The rules above, for the choice (number and name) against the list.
[[nodiscard]] PortPick PickPort(const PortList& list, int32_t device, std::string_view name);

// What the engine is told after a look at the list.
struct PortStep {
    enum class Engine : uint8_t {
        Nothing,  // the open port is the right one, where it was
        Renumber, // the open port is the right one, at another number now
        Open,     // close what is open and open `device`
    };
    Engine engine = Engine::Nothing;
    int32_t device = 0;
    bool reportFailure = false; // a failed open is shown (the user's own choice, and start)
    std::string lostPort;       // a port lost while in use, to tell the user of once
};

// The user's choice, kept in the settings' Device and Device Name, and the port the engine
// was last told to open.
class PortChoice {
public:
    explicit PortChoice(TSettings& settings) noexcept : settings_(settings) {}

    // At start: the choice is opened; a failure to open is reported.
    [[nodiscard]] PortStep Start(const PortList& list);
    // The user picked this number of the list the menu shows: it becomes the choice, by
    // number (a number past the list falls back to 0) and by the name standing there.
    [[nodiscard]] PortStep Select(int32_t device, const PortList& list);
    // The list may have changed (a device change, the menu opening): the chosen port is
    // followed to its new number, given up for the stand-in when it went (told once), and
    // taken again when it is back.
    [[nodiscard]] PortStep Refresh(const PortList& list);
    // The engine lost the open port (a send failed): told once, and whatever the list now
    // says is opened afresh, even the same number.
    [[nodiscard]] PortStep Lost(const PortList& list);

    // The chosen port is missing from the list; ChosenName names it.
    [[nodiscard]] bool Away() const noexcept { return away_; }
    [[nodiscard]] const std::string& ChosenName() const noexcept { return settings_.DeviceName; }
    // The number the engine was last told to open (the Device menu checks it).
    [[nodiscard]] int32_t OpenDevice() const noexcept { return open_.device; }

private:
    struct OpenPort {
        int32_t device = 0;
        std::string name;
        bool known = false; // nothing told yet
    };
    [[nodiscard]] PortStep Follow(const PortList& list, bool reopen);

    TSettings& settings_;
    OpenPort open_;
    bool away_ = false;
    // The loss of the chosen port has been told and it has not been back since.
    bool lossTold_ = false;
};

} // namespace zevaver

// One place the program can play to on Linux: a port of the ALSA sequencer or of a JACK
// server, by the name the Device menu shows and the address its back end needs.
#pragma once

#include <string>

namespace zevaver {

struct MidiDestination {
    enum class Backend : unsigned char { Alsa, Jack };
    Backend backend = Backend::Alsa;
    std::string name; // as listed
    int client = 0;   // ALSA sequencer address
    int port = 0;
    std::string jackPort; // the JACK port's full name
    friend bool operator==(const MidiDestination&, const MidiDestination&) = default;
};

// The name a sequencer port is listed by: the port's own name when it already begins with
// its client's (as "Midi Through Port-0" does), else both.
[[nodiscard]] inline std::string SequencerPortName(const std::string& client,
                                                   const std::string& port) {
    if (port.rfind(client, 0) == 0) return port;
    return client + ": " + port;
}

// A JACK port is listed by its full name, marked as JACK's.
[[nodiscard]] inline std::string JackPortCaption(const std::string& fullName) {
    return fullName + " (JACK)";
}

} // namespace zevaver

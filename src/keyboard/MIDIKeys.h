// The keyboard's notes bound to one MIDI output port: every note that starts becomes a
// note-on message on the chosen channel, every note that ends a note-off. No other message
// is ever sent; the sustain pedal works inside the notes by holding note-offs back.
#pragma once

#include "keyboard/KeyboardNotes.h"
#include "keyboard/MidiOut.h"

#include <array>
#include <cstdint>
#include <functional>
#include <string>

namespace zevaver {

// A MIDI channel, counted from 1.
using TMIDIChannel = uint8_t;

class TMIDIKeys : public TKeyboardNotes {
public:
    static constexpr const char* MapperName = "Microsoft MIDI Mapper";

    // The port is not opened here; the owner sets the device and calls OpenPort.
    TMIDIKeys(const NotesHost& host, MidiOut& midi);
    // Resets and closes the port if one is open.
    ~TMIDIKeys() override;

    // -1 is the system MIDI mapper, 0 .. count - 1 a device.
    [[nodiscard]] int MIDIDevice() const noexcept { return device_; }
    // A new value closes the port (MIDIPortOk keeps its value until the next OpenPort) and
    // looks up the device's name; the same value changes nothing.
    void SetMIDIDevice(int value);

    [[nodiscard]] int MIDIChannel() const noexcept { return channel_; }
    // Read when a note starts; a note ends on the channel it started on, so nothing is left
    // sounding on the old channel. Values outside 1..16 are held at the nearer end.
    void SetMIDIChannel(int value);

    // Empty for a device at or above the device count, or whose name cannot be read.
    [[nodiscard]] const std::string& MIDIPortName() const noexcept { return portName_; }
    // True after a successful open, until the next close by OpenPort.
    [[nodiscard]] bool MIDIPortOk() const noexcept { return portOk_; }

    // Closes any open port and opens MIDIDevice; the outcome is MIDIPortOk.
    void OpenPort();
    // Silences the open port (when the program may end without closing it): everything
    // still sounding on it stops, and no note-off is owed for it any more.
    void ResetPort();

    // Called right after every message that is sent.
    std::function<void()> Blink;

private:
    void MIDINoteOn(int note, int velocity);
    void MIDINoteOff(int note, int velocity);
    // True when the message went out.
    bool Send(uint32_t message);
    void ClosePort();

    MidiOut& midi_;
    MidiOutPort port_;
    int device_ = MidiOut::Mapper;
    TMIDIChannel channel_ = 1;
    std::string portName_ = MapperName;
    bool portOk_ = false;
    // The channel each note's note-on went out on, 0 while none is owed a note-off. A
    // note-off goes only to a note that sounds, once, on that note's own channel.
    std::array<TMIDIChannel, MidiNoteCount> noteChannels_{};
};

} // namespace zevaver

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
    // The port open (or to be opened again) now stands at this number of the library's
    // list, which shifts as ports come and go: nothing is closed and no name is read;
    // OpenPort opens the port of this number.
    void RenumberDevice(int value) noexcept { device_ = value; }

    [[nodiscard]] int MIDIChannel() const noexcept { return channel_; }
    // Read when a note starts; a note ends on the channel it started on, so nothing is left
    // sounding on the old channel. Values outside 1..16 are held at the nearer end.
    void SetMIDIChannel(int value);

    // Empty for a device at or above the device count, or whose name cannot be read.
    [[nodiscard]] const std::string& MIDIPortName() const noexcept { return portName_; }
    // True after a successful open, until the next close by OpenPort or the port's loss.
    [[nodiscard]] bool MIDIPortOk() const noexcept { return portOk_; }
    // The open port went away (a send failed): until a port is opened or handed over
    // nothing is sent and a note-on does not try the number again, which may name another
    // port by now.
    [[nodiscard]] bool PortLost() const noexcept { return lost_; }
    [[nodiscard]] bool HasPort() const noexcept { return port_.IsOpen(); }

    // Closes any open port and opens MIDIDevice; the outcome is MIDIPortOk.
    void OpenPort();
    // Takes a port opened elsewhere (a thread that may wait on the driver, which the key
    // path must not): the one held so far is given back first, unclosed. Every note whose
    // key is still held and that has not sounded on a port since its key went down sounds
    // now, so a key typed while no port was there plays as soon as one is.
    [[nodiscard]] MidiOutPort AttachPort(MidiOutPort port);
    // Gives the port back without resetting or closing it (whoever takes it does that, and
    // the reset silences what sounds there): nothing is owed a note-off any more.
    [[nodiscard]] MidiOutPort DetachPort();
    // Silences the open port (when the program may end without closing it): everything
    // still sounding on it stops, and no note-off is owed for it any more.
    void ResetPort();

    // Called right after every message that is sent.
    std::function<void()> Blink;
    // Called once when a send finds the port gone, with the port, which the callee closes
    // (closed here when nobody takes it); by then no note that sounded on it is owed a
    // note-off or held by the pedal.
    std::function<void(MidiOutPort lost)> OnPortLost;
    // Called when a note-on finds no port and none was lost: someone who may wait on the
    // driver should open one (AttachPort). Without it, the note-on opens the port itself.
    std::function<void()> OnPortWanted;

private:
    void MIDINoteOn(int note, int velocity);
    void MIDINoteOff(int note, int velocity);
    // True when the message went out.
    bool Send(uint32_t message);
    void ClosePort();
    void LosePort();

    // The port given up, and what it owed, forgotten.
    MidiOutPort TakePort();

    MidiOut& midi_;
    MidiOutPort port_;
    int device_ = MidiOut::Mapper;
    TMIDIChannel channel_ = 1;
    std::string portName_ = MapperName;
    bool portOk_ = false;
    bool lost_ = false;
    // The channel each note's note-on went out on, 0 while none is owed a note-off. A
    // note-off goes only to a note that sounds, once, on that note's own channel.
    std::array<TMIDIChannel, MidiNoteCount> noteChannels_{};
    // Each note's last velocity, for a note that waits for a port.
    std::array<uint8_t, MidiNoteCount> velocities_{};
};

} // namespace zevaver

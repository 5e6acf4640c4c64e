#include "keyboard/MIDIKeys.h"

#include "keyboard/MidiMessages.h"

#include <algorithm>
#include <utility>

namespace zevaver {

namespace {

// The name field of the device capabilities holds 31 characters and a terminating zero.
constexpr size_t MaxPortNameLength = 31;

// A MIDI data byte holds 0..127; a velocity outside it would corrupt the message.
int DataByte(int value) {
    return std::clamp(value, 0, 127);
}

} // namespace

TMIDIKeys::TMIDIKeys(const NotesHost& host, MidiOut& midi) : TKeyboardNotes(host), midi_(midi) {
    OnNoteOn = [this](TKeyboardNotes&, int note, int velocity) { MIDINoteOn(note, velocity); };
    OnNoteOff = [this](TKeyboardNotes&, int note, int velocity) { MIDINoteOff(note, velocity); };
}

// The port member resets and closes the port on its way out.
TMIDIKeys::~TMIDIKeys() = default;

void TMIDIKeys::SetMIDIDevice(int value) {
    if (value == device_) return;
    ClosePort();
    lost_ = false;
    device_ = value;
    // Signed against the count, so the mapper (-1) always has a name to look up.
    portName_.clear();
    if (int64_t{value} < int64_t{midi_.DeviceCount()}) {
        std::string name;
        if (midi_.DeviceName(value, name) == MidiOut::NoError) {
            portName_ = name.substr(0, std::min(name.find('\0'), MaxPortNameLength));
        }
    }
}

void TMIDIKeys::SetMIDIChannel(int value) {
    channel_ = static_cast<TMIDIChannel>(std::clamp(value, 1, 16));
}

// Closing resets the port, which silences every note on it.
void TMIDIKeys::ClosePort() {
    port_.Close();
    noteChannels_.fill(0);
}

void TMIDIKeys::ResetPort() {
    if (port_.IsOpen()) static_cast<void>(midi_.Reset(port_.Get()));
    noteChannels_.fill(0);
}

void TMIDIKeys::OpenPort() {
    ClosePort();
    portOk_ = false;
    lost_ = false;
    port_ = OpenOutputPort(midi_, device_);
    portOk_ = port_.IsOpen();
}

MidiOutPort TMIDIKeys::TakePort() {
    noteChannels_.fill(0);
    portOk_ = false;
    return std::move(port_);
}

MidiOutPort TMIDIKeys::DetachPort() {
    return TakePort();
}

MidiOutPort TMIDIKeys::AttachPort(MidiOutPort port) {
    MidiOutPort previous = TakePort();
    port_ = std::move(port);
    portOk_ = port_.IsOpen();
    lost_ = false;
    if (!portOk_) return previous;
    // Only keys still held: a note whose key came up while no port was there is over.
    const TNoteSet& down = DownNotes();
    for (int note = 0; note < MidiNoteCount; ++note) {
        if (!down.Contains(note) || !IsNoteSounding(note)) continue;
        if (Send(midi::NoteOn(channel_, note, velocities_[static_cast<std::size_t>(note)])))
            noteChannels_[static_cast<std::size_t>(note)] = channel_;
    }
    return previous;
}

// Notes outside 0..127 (octave shift and transposition past the ends, or a mouse release
// before any mouse press) have no MIDI number: they are dropped here before anything is
// tried, so they neither open the port nor blink.
void TMIDIKeys::MIDINoteOn(int note, int velocity) {
    if (!IsMidiNote(note)) return;
    velocities_[static_cast<std::size_t>(note)] = static_cast<uint8_t>(DataByte(velocity));
    // Every note-on while no port is open tries again, silently; not after a loss, when
    // the number may stand for another port by now.
    if (!port_.IsOpen() && !lost_) {
        if (OnPortWanted) {
            OnPortWanted();
            return; // the note sounds when the port comes, if its key is still held
        }
        OpenPort();
    }
    TMIDIChannel& owed = noteChannels_[static_cast<std::size_t>(note)];
    // The control ends a sounding note before striking it again; should it ever not, the
    // note still gets its note-off first, on its own channel.
    if (owed != 0) MIDINoteOff(note, 0);
    if (Send(midi::NoteOn(channel_, note, DataByte(velocity)))) owed = channel_;
}

void TMIDIKeys::MIDINoteOff(int note, int velocity) {
    if (!IsMidiNote(note)) return;
    const TMIDIChannel channel = std::exchange(noteChannels_[static_cast<std::size_t>(note)], 0);
    if (channel == 0) return;
    Send(midi::NoteOff(channel, note, DataByte(velocity)));
}

// MIDIPortOk stays true after a device change closed the port; nothing goes out until a
// port is open again. A port that is only busy loses that one message.
bool TMIDIKeys::Send(uint32_t message) {
    if (!portOk_ || !port_.IsOpen()) return false;
    if (MidiOut::PortGone(midi_.ShortMessage(port_.Get(), message))) {
        LosePort();
        return false;
    }
    // The activity signal draws; the message goes first, so no drawing ever delays a note.
    if (Blink) Blink();
    return true;
}

// Whatever sounded there sounds nowhere now: nothing is owed for it, and the pedal holds
// none of it any more (holding it would only keep the keyboard showing it).
void TMIDIKeys::LosePort() {
    // Reset and close may fail now, but the handle is still given back.
    MidiOutPort lost = TakePort();
    lost_ = true;
    ForgetSustainedNotes();
    if (OnPortLost) OnPortLost(std::move(lost));
}

} // namespace zevaver

// MIDI output on Linux behind the program's MIDI library interface. The program always has
// an output port of its own, named after it, in the ALSA sequencer and, while a JACK server
// (or PipeWire's) runs, in JACK: any music program may connect to it, and every note goes
// out there. The Device menu lists first that own port alone (where the Windows program
// lists the system's mapper), then every sequencer port and every JACK MIDI input by name;
// choosing one connects the own port to it.
#pragma once

#include "keyboard/MidiOut.h"
#include "keyboard/linux/AlsaSequencer.h"
#include "keyboard/linux/JackMidi.h"

#include <array>
#include <bitset>
#include <mutex>
#include <string>
#include <vector>

namespace zevaver {

class LinuxMidiOut final : public MidiOut {
public:
    static constexpr const char* ProgramPortName = "Zevaver MIDI Keyboard";
    // The Device menu's first item: the own port with no connection made.
    static constexpr const char* OwnPortCaption = "Own port only (Zevaver MIDI Keyboard)";

    explicit LinuxMidiOut(std::string name = ProgramPortName);
    ~LinuxMidiOut() override;
    LinuxMidiOut(const LinuxMidiOut&) = delete;
    LinuxMidiOut& operator=(const LinuxMidiOut&) = delete;

    // MidiOut. The count lists the destinations anew; names and opening go by that list.
    [[nodiscard]] uint32_t DeviceCount() override;
    [[nodiscard]] Result DeviceName(int device, std::string& name) override;
    [[nodiscard]] OpenResult Open(int device) override;
    [[nodiscard]] Result ShortMessage(Handle port, uint32_t message) override;
    [[nodiscard]] Result Reset(Handle port) override;
    [[nodiscard]] Result Close(Handle port) override;

    // The window's thread: descriptors that become readable when destinations may have come
    // or gone (-1 for none), and reading them; true when something changed.
    [[nodiscard]] int SequencerFd() const noexcept { return alsa_.AnnounceFd(); }
    [[nodiscard]] int JackFd() const noexcept { return changes_; }
    [[nodiscard]] bool TakeChanges();

    [[nodiscard]] AlsaSequencer& Sequencer() noexcept { return alsa_; }
    [[nodiscard]] JackMidi& Jack() noexcept { return jack_; }

private:
    struct OpenPort {
        bool used = false;
        bool own = false; // no connection: the own port alone
        MidiDestination destination;
        std::bitset<16 * 128> sounding; // channel * 128 + note
    };
    [[nodiscard]] OpenPort* PortOf(Handle handle) noexcept;
    // Both own ports; the result the handle's own back end gave.
    [[nodiscard]] Result Send(const OpenPort& port, uint8_t status, uint8_t data1,
                              uint8_t data2) noexcept;

    std::string name_;
    AlsaSequencer alsa_;
    JackMidi jack_;
    int changes_ = -1; // an event descriptor JACK's callbacks write to
    std::mutex listMutex_;
    std::vector<MidiDestination> listed_;
    std::array<OpenPort, 8> ports_{}; // handle n is ports_[n - 1]
};

} // namespace zevaver

// The program as a client of the ALSA sequencer: an output port named after the program,
// which any program may subscribe to, and connections from it to the destination the user
// chose. Two handles: the playing one belongs to the engine's thread (connections and
// notes), the looking one to the window's thread (the list of destinations and the
// system's announcements of ports that come and go). alsa-lib prints nothing: its error
// output is switched off, since the program reports what matters itself.
#pragma once

#include "keyboard/linux/MidiDestination.h"

#include <cstdint>
#include <string>
#include <vector>

struct _snd_seq;

namespace zevaver {

class AlsaSequencer {
public:
    AlsaSequencer() = default;
    ~AlsaSequencer();
    AlsaSequencer(const AlsaSequencer&) = delete;
    AlsaSequencer& operator=(const AlsaSequencer&) = delete;

    // Opens both handles and makes the port; false when there is no sequencer.
    [[nodiscard]] bool Open(const std::string& name);
    [[nodiscard]] bool IsOpen() const noexcept { return play_ != nullptr; }
    // The playing client's number and its port's, for others to connect to.
    [[nodiscard]] int Client() const noexcept { return client_; }
    [[nodiscard]] int Port() const noexcept { return port_; }

    // The window's thread: every port a program may write to, but the program's own.
    void List(std::vector<MidiDestination>& destinations);
    // A descriptor that becomes readable when announcements wait, or -1.
    [[nodiscard]] int AnnounceFd() const noexcept { return announceFd_; }
    // Reads the waiting announcements; true when a port or client came, went or changed.
    [[nodiscard]] bool TakeAnnouncements();

    // The engine's thread.
    [[nodiscard]] bool Connect(int client, int port);
    void Disconnect(int client, int port);
    // A note-on or note-off (status, data 1, data 2) to everyone subscribed to the port:
    // 0 when sent, -EAGAIN when the receivers' queue is full, another negative errno when
    // the sequencer failed.
    [[nodiscard]] int Send(uint8_t status, uint8_t data1, uint8_t data2) noexcept;

private:
    _snd_seq* play_ = nullptr;
    _snd_seq* look_ = nullptr;
    int client_ = -1;
    int lookClient_ = -1;
    int port_ = -1;
    int announceFd_ = -1;
};

// Keeps alsa-lib from printing to the standard error output (it does, for instance, when
// there is no sequencer at all).
void SilenceAlsaErrors() noexcept;

} // namespace zevaver

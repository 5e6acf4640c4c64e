// The program as a JACK client: a MIDI output port named after the program and connections
// from it to the port the user chose. Notes reach JACK's process callback through a ring
// that neither side ever waits on, and go out at the start of the next period. The client
// is made when a server runs (never starting one) and given up when the server goes away;
// JACK prints nothing.
#pragma once

#include "keyboard/linux/MidiDestination.h"

#include <atomic>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include <jack/ringbuffer.h>

struct _jack_client;
struct _jack_port;

namespace zevaver {

class JackMidi {
public:
    JackMidi();
    ~JackMidi();
    JackMidi(const JackMidi&) = delete;
    JackMidi& operator=(const JackMidi&) = delete;

    // Called (on a thread of JACK's) when ports come or go or the server goes away.
    std::function<void()> OnChange;

    // Makes the client when there is none and a server runs; true when there is one.
    [[nodiscard]] bool Ensure(const std::string& name);
    [[nodiscard]] bool Alive() const noexcept { return alive_.load(); }
    // Every MIDI input port but the program's own.
    void List(std::vector<MidiDestination>& destinations);
    [[nodiscard]] bool Connect(const std::string& port);
    void Disconnect(const std::string& port);
    // The server counts its clients' connections: whether the program's port still has one
    // to this port.
    [[nodiscard]] bool Connected(const std::string& port);
    // Queues a three-byte message for the next period: 0 when queued, -EAGAIN when the ring
    // is full, -ENODEV without a server.
    [[nodiscard]] int Send(uint8_t status, uint8_t data1, uint8_t data2) noexcept;
    // The program's port's full name ("" without a client).
    [[nodiscard]] std::string PortName();

private:
    static int Process(uint32_t frames, void* self) noexcept;
    static void Shutdown(void* self) noexcept;
    static void PortRegistered(uint32_t port, int registered, void* self) noexcept;
    void Close() noexcept;

    std::mutex mutex_; // the client's lifetime, against the engine's and the window's thread
    _jack_client* client_ = nullptr;
    _jack_port* port_ = nullptr;
    jack_ringbuffer_t* ring_ = nullptr;
    std::atomic<bool> alive_{false};
};

} // namespace zevaver

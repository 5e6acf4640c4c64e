#include "keyboard/linux/JackMidi.h"

#include <jack/jack.h>
#include <jack/midiport.h>
#include <jack/ringbuffer.h>

#include <cerrno>
#include <cstring>

namespace zevaver {

namespace {

constexpr size_t MessageSize = 3;
constexpr size_t RingSize = 4096; // bytes: over a thousand messages per period

void NoOutput(const char*) {}

} // namespace

JackMidi::JackMidi() : ring_(jack_ringbuffer_create(RingSize)) {
    jack_set_error_function(&NoOutput);
    jack_set_info_function(&NoOutput);
}

JackMidi::~JackMidi() {
    Close();
    if (ring_) jack_ringbuffer_free(ring_);
}

void JackMidi::Close() noexcept {
    alive_ = false;
    if (client_) {
        jack_client_close(client_);
        client_ = nullptr;
        port_ = nullptr;
    }
}

bool JackMidi::Ensure(const std::string& name) {
    const std::lock_guard lock(mutex_);
    if (alive_) return true;
    // A client the server dropped is closed here, never inside JACK's own callback.
    Close();
    if (!ring_) return false;
    jack_status_t status{};
    jack_client_t* client = jack_client_open(name.c_str(), JackNoStartServer, &status);
    if (!client) return false;
    jack_port_t* port =
        jack_port_register(client, "out", JACK_DEFAULT_MIDI_TYPE, JackPortIsOutput, 0);
    if (!port || jack_set_process_callback(client, &JackMidi::Process, this) != 0) {
        jack_client_close(client);
        return false;
    }
    jack_on_shutdown(client, &JackMidi::Shutdown, this);
    jack_set_port_registration_callback(client, &JackMidi::PortRegistered, this);
    // What was queued for an earlier client is no news for this one.
    jack_ringbuffer_reset(ring_);
    client_ = client;
    port_ = port;
    alive_ = true;
    if (jack_activate(client) != 0) {
        Close();
        return false;
    }
    return true;
}

void JackMidi::List(std::vector<MidiDestination>& destinations) {
    const std::lock_guard lock(mutex_);
    if (!alive_) return;
    const char** ports = jack_get_ports(client_, nullptr, JACK_DEFAULT_MIDI_TYPE, JackPortIsInput);
    if (!ports) return;
    const std::string own = std::string(jack_get_client_name(client_)) + ":";
    for (const char** port = ports; *port; ++port) {
        const std::string name = *port;
        if (name.rfind(own, 0) == 0) continue;
        MidiDestination destination;
        destination.backend = MidiDestination::Backend::Jack;
        destination.name = JackPortCaption(name);
        destination.jackPort = name;
        destinations.push_back(std::move(destination));
    }
    jack_free(ports);
}

bool JackMidi::Connect(const std::string& port) {
    const std::lock_guard lock(mutex_);
    if (!alive_) return false;
    const int result = jack_connect(client_, jack_port_name(port_), port.c_str());
    return result == 0 || result == EEXIST;
}

void JackMidi::Disconnect(const std::string& port) {
    const std::lock_guard lock(mutex_);
    if (alive_) (void)jack_disconnect(client_, jack_port_name(port_), port.c_str());
}

bool JackMidi::Connected(const std::string& port) {
    const std::lock_guard lock(mutex_);
    return alive_ && jack_port_connected_to(port_, port.c_str()) != 0;
}

std::string JackMidi::PortName() {
    const std::lock_guard lock(mutex_);
    return alive_ ? jack_port_name(port_) : "";
}

int JackMidi::Send(uint8_t status, uint8_t data1, uint8_t data2) noexcept {
    if (!alive_) return -ENODEV;
    if (jack_ringbuffer_write_space(ring_) < MessageSize) return -EAGAIN;
    const char message[MessageSize] = {static_cast<char>(status), static_cast<char>(data1),
                                       static_cast<char>(data2)};
    (void)jack_ringbuffer_write(ring_, message, MessageSize);
    return 0;
}

// JACK's real-time thread: whatever is queued goes out at the start of this period.
int JackMidi::Process(uint32_t frames, void* self) noexcept {
    auto& jack = *static_cast<JackMidi*>(self);
    void* buffer = jack_port_get_buffer(jack.port_, frames);
    jack_midi_clear_buffer(buffer);
    char message[MessageSize];
    while (jack_ringbuffer_read_space(jack.ring_) >= MessageSize) {
        (void)jack_ringbuffer_read(jack.ring_, message, MessageSize);
        (void)jack_midi_event_write(buffer, 0, reinterpret_cast<const jack_midi_data_t*>(message),
                                    MessageSize);
    }
    return 0;
}

void JackMidi::Shutdown(void* self) noexcept {
    auto& jack = *static_cast<JackMidi*>(self);
    jack.alive_ = false;
    if (jack.OnChange) jack.OnChange();
}

void JackMidi::PortRegistered(uint32_t, int, void* self) noexcept {
    auto& jack = *static_cast<JackMidi*>(self);
    if (jack.OnChange) jack.OnChange();
}

} // namespace zevaver

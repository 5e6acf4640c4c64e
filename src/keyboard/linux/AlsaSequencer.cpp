#include "keyboard/linux/AlsaSequencer.h"

#include <alsa/asoundlib.h>
#include <poll.h>

namespace zevaver {

namespace {

void NoErrorOutput(const char*, int, const char*, int, const char*, ...) {}

} // namespace

void SilenceAlsaErrors() noexcept {
    snd_lib_error_set_handler(&NoErrorOutput);
}

AlsaSequencer::~AlsaSequencer() {
    if (play_) snd_seq_close(play_);
    if (look_) snd_seq_close(look_);
}

bool AlsaSequencer::Open(const std::string& name) {
    SilenceAlsaErrors();
    if (play_) return true;
    snd_seq_t* play = nullptr;
    snd_seq_t* look = nullptr;
    // The playing handle never blocks: a receiver that cannot keep up loses a note rather
    // than holding up the keys.
    if (snd_seq_open(&play, "default", SND_SEQ_OPEN_OUTPUT, SND_SEQ_NONBLOCK) < 0) return false;
    if (snd_seq_open(&look, "default", SND_SEQ_OPEN_DUPLEX, SND_SEQ_NONBLOCK) < 0) {
        snd_seq_close(play);
        return false;
    }
    snd_seq_set_client_name(play, name.c_str());
    snd_seq_set_client_name(look, (name + " (port list)").c_str());
    const int port = snd_seq_create_simple_port(
        play, name.c_str(), SND_SEQ_PORT_CAP_READ | SND_SEQ_PORT_CAP_SUBS_READ,
        SND_SEQ_PORT_TYPE_MIDI_GENERIC | SND_SEQ_PORT_TYPE_APPLICATION);
    const int lookPort = snd_seq_create_simple_port(
        look, "announcements", SND_SEQ_PORT_CAP_WRITE | SND_SEQ_PORT_CAP_NO_EXPORT,
        SND_SEQ_PORT_TYPE_APPLICATION);
    if (port < 0) {
        snd_seq_close(play);
        snd_seq_close(look);
        return false;
    }
    // Ports coming and going are announced by the system client.
    if (lookPort >= 0 && snd_seq_connect_from(look, lookPort, SND_SEQ_CLIENT_SYSTEM,
                                              SND_SEQ_PORT_SYSTEM_ANNOUNCE) >= 0) {
        pollfd descriptor{};
        if (snd_seq_poll_descriptors(look, &descriptor, 1, POLLIN) == 1)
            announceFd_ = descriptor.fd;
    }
    play_ = play;
    look_ = look;
    port_ = port;
    client_ = snd_seq_client_id(play);
    lookClient_ = snd_seq_client_id(look);
    return true;
}

void AlsaSequencer::List(std::vector<MidiDestination>& destinations) {
    if (!look_) return;
    snd_seq_client_info_t* client = nullptr;
    snd_seq_port_info_t* port = nullptr;
    snd_seq_client_info_alloca(&client);
    snd_seq_port_info_alloca(&port);
    snd_seq_client_info_set_client(client, -1);
    constexpr unsigned Writable = SND_SEQ_PORT_CAP_WRITE | SND_SEQ_PORT_CAP_SUBS_WRITE;
    while (snd_seq_query_next_client(look_, client) >= 0) {
        const int id = snd_seq_client_info_get_client(client);
        if (id == SND_SEQ_CLIENT_SYSTEM || id == client_ || id == lookClient_) continue;
        snd_seq_port_info_set_client(port, id);
        snd_seq_port_info_set_port(port, -1);
        while (snd_seq_query_next_port(look_, port) >= 0) {
            const unsigned caps = snd_seq_port_info_get_capability(port);
            if ((caps & Writable) != Writable || (caps & SND_SEQ_PORT_CAP_NO_EXPORT) != 0) continue;
            MidiDestination destination;
            destination.backend = MidiDestination::Backend::Alsa;
            destination.name = SequencerPortName(snd_seq_client_info_get_name(client),
                                                 snd_seq_port_info_get_name(port));
            destination.client = id;
            destination.port = snd_seq_port_info_get_port(port);
            destinations.push_back(std::move(destination));
        }
    }
}

bool AlsaSequencer::TakeAnnouncements() {
    if (!look_) return false;
    bool changed = false;
    snd_seq_event_t* event = nullptr;
    while (snd_seq_event_input(look_, &event) >= 0 && event) {
        switch (event->type) {
        case SND_SEQ_EVENT_CLIENT_START:
        case SND_SEQ_EVENT_CLIENT_EXIT:
        case SND_SEQ_EVENT_CLIENT_CHANGE:
        case SND_SEQ_EVENT_PORT_START:
        case SND_SEQ_EVENT_PORT_EXIT:
        case SND_SEQ_EVENT_PORT_CHANGE:
            changed = true;
            break;
        default:
            break;
        }
        event = nullptr;
    }
    return changed;
}

bool AlsaSequencer::Connect(int client, int port) {
    return play_ && snd_seq_connect_to(play_, port_, client, port) >= 0;
}

void AlsaSequencer::Disconnect(int client, int port) {
    if (play_) (void)snd_seq_disconnect_to(play_, port_, client, port);
}

int AlsaSequencer::Send(uint8_t status, uint8_t data1, uint8_t data2) noexcept {
    if (!play_) return -ENODEV;
    snd_seq_event_t event;
    snd_seq_ev_clear(&event);
    snd_seq_ev_set_source(&event, port_);
    snd_seq_ev_set_subs(&event);
    snd_seq_ev_set_direct(&event);
    const uint8_t channel = status & 0x0F;
    if ((status & 0xF0) == 0x90)
        snd_seq_ev_set_noteon(&event, channel, data1, data2);
    else
        snd_seq_ev_set_noteoff(&event, channel, data1, data2);
    const int result = snd_seq_event_output_direct(play_, &event);
    return result < 0 ? result : 0;
}

} // namespace zevaver

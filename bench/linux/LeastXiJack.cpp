// The least Linux program that plays the computer keyboard: XInput 2 raw key events on the
// root window, and each key pressed a note-on (released, a note-off) written to a JACK MIDI
// port in the next process callback. What the real program's key path is measured against.
#include <X11/Xlib.h>
#include <X11/extensions/XInput2.h>
#include <jack/jack.h>
#include <jack/midiport.h>
#include <jack/ringbuffer.h>

#include <csignal>
#include <cstdio>
#include <poll.h>

namespace {

jack_port_t* port = nullptr;
jack_ringbuffer_t* ring = nullptr;
volatile std::sig_atomic_t stopping = 0;

int Process(jack_nframes_t frames, void*) {
    void* buffer = jack_port_get_buffer(port, frames);
    jack_midi_clear_buffer(buffer);
    unsigned char message[3];
    while (jack_ringbuffer_read_space(ring) >= 3) {
        jack_ringbuffer_read(ring, reinterpret_cast<char*>(message), 3);
        jack_midi_event_write(buffer, 0, message, 3);
    }
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    std::signal(SIGTERM, [](int) { stopping = 1; });
    Display* display = XOpenDisplay(nullptr);
    int opcode = 0, event = 0, error = 0, major = 2, minor = 2;
    if (!display || !XQueryExtension(display, "XInputExtension", &opcode, &event, &error) ||
        XIQueryVersion(display, &major, &minor) != Success)
        return 1;
    unsigned char bits[XIMaskLen(XI_LASTEVENT)] = {};
    XISetMask(bits, XI_RawKeyPress);
    XISetMask(bits, XI_RawKeyRelease);
    XIEventMask mask{XIAllMasterDevices, static_cast<int>(sizeof bits), bits};
    XISelectEvents(display, DefaultRootWindow(display), &mask, 1);
    XFlush(display);

    jack_client_t* client = jack_client_open("least", JackNoStartServer, nullptr);
    if (!client) return 1;
    port = jack_port_register(client, "out", JACK_DEFAULT_MIDI_TYPE, JackPortIsOutput, 0);
    ring = jack_ringbuffer_create(4096);
    jack_set_process_callback(client, &Process, nullptr);
    jack_activate(client);
    if (argc > 1) jack_connect(client, jack_port_name(port), argv[1]);

    pollfd wait{ConnectionNumber(display), POLLIN, 0};
    while (!stopping) {
        if (XPending(display) == 0 && poll(&wait, 1, 100) <= 0) continue;
        while (XPending(display) > 0) {
            XEvent next;
            XNextEvent(display, &next);
            if (next.xcookie.type != GenericEvent || next.xcookie.extension != opcode ||
                !XGetEventData(display, &next.xcookie))
                continue;
            const auto* raw = static_cast<const XIRawEvent*>(next.xcookie.data);
            const bool down = next.xcookie.evtype == XI_RawKeyPress;
            const unsigned char message[3] = {static_cast<unsigned char>(down ? 0x90 : 0x80),
                                              static_cast<unsigned char>(raw->detail & 0x7F),
                                              static_cast<unsigned char>(down ? 100 : 0)};
            jack_ringbuffer_write(ring, reinterpret_cast<const char*>(message), 3);
            XFreeEventData(display, &next.xcookie);
        }
    }
    jack_client_close(client);
    XCloseDisplay(display);
    return 0;
}

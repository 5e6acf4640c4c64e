// A JACK server of the tests' own (the dummy back end, 48 kHz, 64 frames a period, under a
// name no one else uses) and a recorder client in the test process: its MIDI input
// "recorder:in" keeps every event with the time it was played, in microseconds of JACK's
// clock (the monotonic raw clock).
#pragma once

#include <jack/jack.h>
#include <jack/midiport.h>
#include <jack/ringbuffer.h>

#include <csignal>
#include <cstdint>
#include <cstdlib>
#include <mutex>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace zevaver {

namespace linuxtest {

struct RecordedEvent {
    uint64_t micros = 0;
    uint8_t status = 0, data1 = 0, data2 = 0;
};

class JackServer {
public:
    // Starts jackd under `name` and makes it the default server of this process and its
    // children. Ready() tells whether clients can connect.
    explicit JackServer(const std::string& name) {
        // The probes below fail until the server is up; JACK need not say so.
        jack_set_error_function([](const char*) {});
        jack_set_info_function([](const char*) {});
        setenv("JACK_DEFAULT_SERVER", name.c_str(), 1);
        setenv("JACK_NO_AUDIO_RESERVATION", "1", 1);
        pid_ = fork();
        if (pid_ == 0) {
            setpgid(0, 0);
            freopen("/dev/null", "w", stdout);
            freopen("/dev/null", "w", stderr);
            execlp("jackd", "jackd", "-n", name.c_str(), "-d", "dummy", "-r", "48000", "-p", "64",
                   static_cast<char*>(nullptr));
            _exit(127);
        }
    }
    ~JackServer() {
        if (pid_ > 0) {
            kill(pid_, SIGTERM);
            int status = 0;
            waitpid(pid_, &status, 0);
        }
    }
    JackServer(const JackServer&) = delete;
    JackServer& operator=(const JackServer&) = delete;

    // Waits until a client can connect (a few hundred milliseconds after the start).
    [[nodiscard]] bool Ready(int ms = 10000) const {
        for (int waited = 0; pid_ > 0 && waited < ms; waited += 50) {
            jack_status_t status{};
            if (jack_client_t* probe = jack_client_open("probe", JackNoStartServer, &status)) {
                jack_client_close(probe);
                return true;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
        return false;
    }

private:
    pid_t pid_ = -1;
};

class JackRecorder {
public:
    JackRecorder() {
        jack_status_t status{};
        client_ = jack_client_open("recorder", JackNoStartServer, &status);
        if (!client_) return;
        port_ = jack_port_register(client_, "in", JACK_DEFAULT_MIDI_TYPE, JackPortIsInput, 0);
        ring_ = jack_ringbuffer_create(1 << 16);
        jack_set_process_callback(client_, &JackRecorder::Process, this);
        if (!port_ || jack_activate(client_) != 0) Close();
    }
    ~JackRecorder() {
        Close();
        if (ring_) jack_ringbuffer_free(ring_);
    }
    JackRecorder(const JackRecorder&) = delete;
    JackRecorder& operator=(const JackRecorder&) = delete;

    [[nodiscard]] bool Running() const noexcept { return client_ != nullptr; }
    // Whether the program's port is connected to the recorder.
    [[nodiscard]] bool Connected() const { return port_ && jack_port_connected(port_) > 0; }
    [[nodiscard]] bool AwaitConnection(int ms = 10000) const {
        for (int waited = 0; waited < ms; waited += 20) {
            if (Connected()) return true;
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        return false;
    }
    // Every event so far, in order (the caller's list grows with each call).
    std::vector<RecordedEvent> Take() {
        RecordedEvent event;
        while (ring_ && jack_ringbuffer_read_space(ring_) >= sizeof event) {
            (void)jack_ringbuffer_read(ring_, reinterpret_cast<char*>(&event), sizeof event);
            events_.push_back(event);
        }
        return events_;
    }
    // Waits until at least `count` events were recorded.
    std::vector<RecordedEvent> AwaitEvents(size_t count, int ms = 3000) {
        for (int waited = 0; waited < ms && Take().size() < count; waited += 5)
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        return Take();
    }
    void Clear() {
        (void)Take();
        events_.clear();
    }

private:
    void Close() {
        if (client_) jack_client_close(client_);
        client_ = nullptr;
    }
    static int Process(jack_nframes_t frames, void* self) {
        auto& recorder = *static_cast<JackRecorder*>(self);
        void* buffer = jack_port_get_buffer(recorder.port_, frames);
        const jack_nframes_t start = jack_last_frame_time(recorder.client_);
        const uint32_t count = jack_midi_get_event_count(buffer);
        for (uint32_t i = 0; i < count; ++i) {
            jack_midi_event_t event;
            if (jack_midi_event_get(&event, buffer, i) != 0 || event.size < 3) continue;
            RecordedEvent recorded;
            recorded.micros = jack_frames_to_time(recorder.client_, start + event.time);
            recorded.status = event.buffer[0];
            recorded.data1 = event.buffer[1];
            recorded.data2 = event.buffer[2];
            if (jack_ringbuffer_write_space(recorder.ring_) >= sizeof recorded)
                (void)jack_ringbuffer_write(
                    recorder.ring_, reinterpret_cast<const char*>(&recorded), sizeof recorded);
        }
        return 0;
    }

    jack_client_t* client_ = nullptr;
    jack_port_t* port_ = nullptr;
    jack_ringbuffer_t* ring_ = nullptr;
    std::vector<RecordedEvent> events_;
};

} // namespace linuxtest

} // namespace zevaver

// Runs as the first process of a small virtual machine whose kernel has the sequencer and
// its dummy client ("Midi Through"): loads the modules, then checks the program's ALSA
// sequencer output for real and prints one line per check ("PASS name" or "FAIL name:
// why"), then "DONE", and powers the machine off.
#include "keyboard/linux/LinuxMidiOut.h"
#include "support/DeviceIndex.h"

#include <alsa/asoundlib.h>
#include <fcntl.h>
#include <linux/reboot.h>
#include <poll.h>
#include <sys/mount.h>
#include <sys/reboot.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

namespace {

using namespace zevaver;
using linuxtest::DeviceIndex;

int failures = 0;

void Check(const char* name, bool passed, const std::string& why = {}) {
    if (passed)
        std::printf("PASS %s\n", name);
    else
        std::printf("FAIL %s: %s\n", name, why.c_str());
    failures += passed ? 0 : 1;
    std::fflush(stdout);
}

void LoadModules() {
    std::ifstream order("/modules/order");
    for (std::string module; std::getline(order, module);) {
        if (module.empty()) continue;
        const int file = open(("/modules/" + module).c_str(), O_RDONLY | O_CLOEXEC);
        const long loaded = file >= 0 ? syscall(SYS_finit_module, file, "", 0) : -1;
        if (loaded != 0) std::printf("module %s did not load\n", module.c_str());
        if (file >= 0) close(file);
    }
}

// A client of the check's own that notes what reaches its input port.
class Listener {
public:
    Listener() {
        if (snd_seq_open(&seq_, "default", SND_SEQ_OPEN_DUPLEX, SND_SEQ_NONBLOCK) < 0) return;
        snd_seq_set_client_name(seq_, "listener");
        port_ = snd_seq_create_simple_port(seq_, "in",
                                           SND_SEQ_PORT_CAP_WRITE | SND_SEQ_PORT_CAP_SUBS_WRITE,
                                           SND_SEQ_PORT_TYPE_APPLICATION);
    }
    ~Listener() {
        if (seq_) snd_seq_close(seq_);
    }
    snd_seq_t* seq_ = nullptr;
    int port_ = -1;
    // The notes received within the time, as "on 60 100" and "off 60".
    std::vector<std::string> Notes(int ms) {
        std::vector<std::string> notes;
        pollfd wait{};
        snd_seq_poll_descriptors(seq_, &wait, 1, POLLIN);
        for (int waited = 0; waited < ms; waited += 10) {
            snd_seq_event_t* event = nullptr;
            while (snd_seq_event_input(seq_, &event) >= 0 && event) {
                if (event->type == SND_SEQ_EVENT_NOTEON)
                    notes.push_back("on " + std::to_string(event->data.note.note) + " " +
                                    std::to_string(event->data.note.velocity));
                if (event->type == SND_SEQ_EVENT_NOTEOFF)
                    notes.push_back("off " + std::to_string(event->data.note.note));
                event = nullptr;
            }
            poll(&wait, 1, 10);
        }
        return notes;
    }
};

std::string Joined(const std::vector<std::string>& notes) {
    std::string text;
    for (const std::string& note : notes) text += (text.empty() ? "" : ", ") + note;
    return text;
}

void Probe() {
    LinuxMidiOut midi("Zevaver MIDI Keyboard");
    Check("sequencer opened", midi.Sequencer().IsOpen());
    const int through = DeviceIndex(midi, "Midi Through Port-0");
    Check("destinations listed by name", through >= 0, "no Midi Through Port-0");

    Listener listener;
    Check("listener made", listener.port_ >= 0);
    snd_seq_port_info_t* info = nullptr;
    snd_seq_port_info_alloca(&info);
    const bool ownPort = snd_seq_get_any_port_info(listener.seq_, midi.Sequencer().Client(),
                                                   midi.Sequencer().Port(), info) >= 0;
    Check("own port named after the program",
          ownPort && std::string(snd_seq_port_info_get_name(info)) == "Zevaver MIDI Keyboard" &&
              (snd_seq_port_info_get_capability(info) & SND_SEQ_PORT_CAP_SUBS_READ) != 0);

    // Midi Through passes on what it gets: the listener hears what reached it.
    snd_seq_connect_from(listener.seq_, listener.port_, 14, 0);
    const MidiOut::OpenResult port = midi.Open(through);
    Check("choosing a destination connects to it", port.result == MidiOut::NoError);
    (void)midi.ShortMessage(port.port, 0x643C90);
    (void)midi.ShortMessage(port.port, 0x003C80);
    (void)midi.ShortMessage(port.port, 0x7F4090);
    (void)midi.Reset(port.port);
    const std::vector<std::string> heard = listener.Notes(300);
    Check("notes reach the chosen destination",
          heard == std::vector<std::string>{"on 60 100", "off 60", "on 64 127", "off 64"},
          Joined(heard));
    (void)midi.Close(port.port);
    snd_seq_addr_t sender{static_cast<unsigned char>(midi.Sequencer().Client()),
                          static_cast<unsigned char>(midi.Sequencer().Port())};
    snd_seq_addr_t dest{14, 0};
    snd_seq_port_subscribe_t* subscription = nullptr;
    snd_seq_port_subscribe_alloca(&subscription);
    snd_seq_port_subscribe_set_sender(subscription, &sender);
    snd_seq_port_subscribe_set_dest(subscription, &dest);
    Check("closing disconnects", snd_seq_get_port_subscription(listener.seq_, subscription) < 0);
    snd_seq_disconnect_from(listener.seq_, listener.port_, 14, 0);

    // Any program may subscribe to the own port and hears every note.
    snd_seq_connect_from(listener.seq_, listener.port_, midi.Sequencer().Client(),
                         midi.Sequencer().Port());
    const MidiOut::OpenResult own = midi.Open(MidiOut::Mapper);
    (void)midi.ShortMessage(own.port, 0x503090);
    (void)midi.ShortMessage(own.port, 0x003080);
    const std::vector<std::string> subscribed = listener.Notes(300);
    Check("subscribers of the own port hear the notes",
          own.result == MidiOut::NoError &&
              subscribed == std::vector<std::string>{"on 48 80", "off 48"},
          Joined(subscribed));
    (void)midi.Close(own.port);

    // A port that comes and goes is announced to the window's side.
    (void)midi.TakeChanges();
    const int extra = snd_seq_create_simple_port(
        listener.seq_, "extra", SND_SEQ_PORT_CAP_WRITE | SND_SEQ_PORT_CAP_SUBS_WRITE,
        SND_SEQ_PORT_TYPE_APPLICATION);
    pollfd wait{midi.SequencerFd(), POLLIN, 0};
    const bool announced = poll(&wait, 1, 1000) > 0 && midi.TakeChanges();
    Check("a new port is announced", announced);
    Check("and listed", DeviceIndex(midi, "listener: extra") >= 0);
    snd_seq_delete_simple_port(listener.seq_, extra);
    wait.revents = 0;
    Check("a port that went is announced", poll(&wait, 1, 1000) > 0 && midi.TakeChanges());
    Check("and no longer listed", DeviceIndex(midi, "listener: extra") < 0);
}

} // namespace

int main() {
    mount("proc", "/proc", "proc", 0, nullptr);
    mount("sysfs", "/sys", "sysfs", 0, nullptr);
    mount("devtmpfs", "/dev", "devtmpfs", 0, nullptr);
    mkdir("/dev/shm", 0777);
    mount("tmpfs", "/dev/shm", "tmpfs", 0, nullptr);
    LoadModules();
    // The machine has no JACK: only the sequencer is under test.
    setenv("JACK_NO_START_SERVER", "1", 1);
    setenv("JACK_DEFAULT_SERVER", "none", 1);
    Probe();
    std::printf("DONE %d failed\n", failures);
    std::fflush(stdout);
    sync();
    if (getpid() == 1) reboot(RB_POWER_OFF);
    return failures == 0 ? 0 : 1;
}

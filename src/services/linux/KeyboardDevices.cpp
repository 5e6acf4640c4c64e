#include "services/linux/KeyboardDevices.h"

#include "framework/linux/Folders.h"

#include <linux/input.h>

#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <sys/inotify.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <array>

namespace zevaver {

namespace {

template <size_t Bits> bool Has(const std::array<unsigned long, Bits>& bits, size_t bit) {
    constexpr size_t PerWord = sizeof(unsigned long) * 8;
    return bit / PerWord < bits.size() && (bits[bit / PerWord] >> (bit % PerWord)) & 1UL;
}

// A keyboard: keys, among them the letters and the space bar (a mouse, a power button or a
// remote control has keys too, but not these).
bool IsKeyboard(int fd) {
    constexpr size_t PerWord = sizeof(unsigned long) * 8;
    std::array<unsigned long, (EV_MAX + PerWord) / PerWord> types{};
    std::array<unsigned long, (KEY_MAX + PerWord) / PerWord> keys{};
    if (ioctl(fd, EVIOCGBIT(0, sizeof types), types.data()) < 0 || !Has(types, EV_KEY))
        return false;
    if (ioctl(fd, EVIOCGBIT(EV_KEY, sizeof keys), keys.data()) < 0) return false;
    for (const int key : {KEY_Q, KEY_A, KEY_Z, KEY_SPACE})
        if (!Has(keys, static_cast<size_t>(key))) return false;
    return true;
}

} // namespace

KeyboardDevices::KeyboardDevices(std::string folder) : folder_(std::move(folder)) {}

KeyboardDevices::~KeyboardDevices() {
    if (watch_ >= 0) close(watch_);
}

KeyboardDevices::Scan KeyboardDevices::OpenNew() {
    Scan scan;
    // Device nodes are no regular files: every "event" name of the folder.
    std::vector<std::string> names;
    if (DIR* folder = opendir(folder_.c_str())) {
        while (const dirent* entry = readdir(folder)) {
            const std::string name = entry->d_name;
            if (name.rfind("event", 0) == 0) names.push_back(name);
        }
        closedir(folder);
    }
    for (const std::string& name : names) {
        const std::string path = fw::JoinPath(folder_, name);
        if (opened_.count(name)) {
            ++scan.keyboards;
            continue;
        }
        const int fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
        if (fd < 0) {
            if (errno == EACCES || errno == EPERM) scan.denied = true;
            continue;
        }
        if (!IsKeyboard(fd)) {
            close(fd);
            continue;
        }
        opened_.insert(name);
        ++scan.keyboards;
        scan.opened.push_back(fd);
    }
    return scan;
}

int KeyboardDevices::WatchFd() {
    if (watch_ >= 0) return watch_;
    watch_ = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    // A node appears, gets its rights a moment later (udev), or goes.
    if (watch_ >= 0 &&
        inotify_add_watch(watch_, folder_.c_str(), IN_CREATE | IN_ATTRIB | IN_DELETE) < 0) {
        close(watch_);
        watch_ = -1;
    }
    return watch_;
}

void KeyboardDevices::TakeChanges() noexcept {
    alignas(inotify_event) char buffer[4096];
    for (;;) {
        const ssize_t got = read(watch_, buffer, sizeof buffer);
        if (got <= 0) break;
        for (ssize_t at = 0; at < got;) {
            const auto* event = reinterpret_cast<const inotify_event*>(buffer + at);
            // A node that went may come back under its name: opened anew then.
            if ((event->mask & IN_DELETE) && event->len > 0) opened_.erase(event->name);
            at += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
        }
    }
}

const char* KeyboardDevicesExplanation() {
    return "On Wayland the display server gives no program the keys typed into others: to play "
           "while another program has the focus, this program can read the keyboards "
           "directly.\n\n"
           "It then sees every key typed on this computer, in every program, passwords "
           "included. It only plays the keys of its layout and keeps nothing of what you type, "
           "but any program you run as your user can read the keyboards the same way once you "
           "have the right to (membership of the group \"input\").\n\n"
           "Read the keyboards directly?";
}

const char* KeyboardDevicesDeniedText() {
    return "The keyboards cannot be read: your user may not read the input devices. Add "
           "yourself to the group \"input\" (for example with \"sudo usermod -aG input "
           "$USER\"), log out and in again, and turn the choice on again in Settings. Until "
           "then keys play while this window has the focus.";
}

} // namespace zevaver

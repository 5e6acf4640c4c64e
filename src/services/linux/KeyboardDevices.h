// The keyboards among the input devices (/dev/input/event*), opened for reading as they are
// found and as they are plugged in. Reading them needs the right to (membership of the
// group "input" on most systems): it gives the program every key typed on the computer,
// whichever program has the focus, which is why it is the user's choice. The descriptors go
// to the playing thread, which reads them and closes them when the devices go.
#pragma once

#include <set>
#include <string>
#include <vector>

namespace zevaver {

class KeyboardDevices {
public:
    // folder: where the device nodes are (the system's unless a test says otherwise).
    explicit KeyboardDevices(std::string folder = "/dev/input");
    ~KeyboardDevices();
    KeyboardDevices(const KeyboardDevices&) = delete;
    KeyboardDevices& operator=(const KeyboardDevices&) = delete;

    struct Scan {
        std::vector<int> opened; // the keyboards found since the last scan, open for reading
        int keyboards = 0;       // every keyboard node, opened now or before
        bool denied = false;     // a device could not be opened for want of the right to
    };
    // Opens the keyboards not opened before.
    [[nodiscard]] Scan OpenNew();
    // Readable when device nodes came or changed (then OpenNew); -1 without one.
    [[nodiscard]] int WatchFd();
    // Empties what WatchFd has to say.
    void TakeChanges() noexcept;
    // Forgets every device opened (their descriptors have gone elsewhere and are closed
    // there): the next scan opens them again.
    void Forget() noexcept { opened_.clear(); }

private:
    std::string folder_;
    std::set<std::string> opened_; // by node name
    int watch_ = -1;
};

// What the user is told before reading the keyboards is turned on.
[[nodiscard]] const char* KeyboardDevicesExplanation();
// What the user is told when the keyboards may not be read.
[[nodiscard]] const char* KeyboardDevicesDeniedText();

} // namespace zevaver

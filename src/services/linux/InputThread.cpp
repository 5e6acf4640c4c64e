#include "services/linux/InputThread.h"

#include "keyboard/KernelKeys.h"

#include <X11/Xlib.h>
#include <X11/extensions/XInput2.h>
#include <linux/input.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <exception>

namespace zevaver {

namespace {

constexpr uint64_t EngineNews = 1;
constexpr uint64_t PointerMoved = 2;
constexpr uint64_t ButtonReleased = 4;
constexpr int PressButton = 1;

void Signal(int fd) noexcept {
    const uint64_t one = 1;
    if (fd >= 0) (void)!write(fd, &one, sizeof one);
}

void Drain(int fd) noexcept {
    uint64_t count = 0;
    if (fd >= 0) (void)!read(fd, &count, sizeof count);
}

// The raw events of every master device on the root window: keys always, the pointer only
// while asked for.
void SelectRawEvents(Display* display, bool pointer) noexcept {
    unsigned char bits[XIMaskLen(XI_LASTEVENT)] = {};
    XISetMask(bits, XI_RawKeyPress);
    XISetMask(bits, XI_RawKeyRelease);
    if (pointer) {
        XISetMask(bits, XI_RawMotion);
        XISetMask(bits, XI_RawButtonRelease);
    }
    XIEventMask mask{XIAllMasterDevices, static_cast<int>(sizeof bits), bits};
    XISelectEvents(display, DefaultRootWindow(display), &mask, 1);
    XFlush(display);
}

} // namespace

LinuxInputThread::LinuxInputThread()
    : wakeFd_(eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK)),
      windowFd_(eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK)) {}

LinuxInputThread::~LinuxInputThread() {
    Stop();
    if (wakeFd_ >= 0) close(wakeFd_);
    if (windowFd_ >= 0) close(windowFd_);
}

bool LinuxInputThread::Start(PlayingEngine& engine, bool watch) noexcept {
    if (thread_.joinable()) return true;
    if (wakeFd_ < 0 || windowFd_ < 0) return false;
    engine_ = &engine;
    watch_ = watch;
    try {
        thread_ = std::thread([this] { Run(); });
    } catch (...) {
        return false;
    }
    return true;
}

WatchStatus LinuxInputThread::AwaitReady() noexcept {
    while (thread_.joinable() && !ready_) std::this_thread::sleep_for(std::chrono::milliseconds(1));
    return status_;
}

void LinuxInputThread::Stop() noexcept {
    if (!thread_.joinable()) return;
    stopping_ = true;
    Signal(wakeFd_);
    thread_.join();
    ended_ = true;
}

void LinuxInputThread::Settle() noexcept {
    if (!thread_.joinable()) return;
    const int asked = settled_.load() + 1;
    Signal(wakeFd_);
    // The thread counts every wake-up it has answered; one after this one is enough.
    while (settled_.load() < asked && !stopping_)
        std::this_thread::sleep_for(std::chrono::microseconds(200));
}

// Before the thread runs, what was sent waits for it; once it has ended, the engine is the
// caller's.
bool LinuxInputThread::WakeEngine() noexcept {
    if (!thread_.joinable() && engine_ && ended_) {
        Guarded([this] { engine_->ProcessCommands(); });
        return true;
    }
    Signal(wakeFd_);
    return true;
}

void LinuxInputThread::Post(uint64_t what) noexcept {
    if ((windowNews_.fetch_or(what) & what) == 0) Signal(windowFd_);
}

bool LinuxInputThread::WakeWindow() noexcept {
    Post(EngineNews);
    return true;
}

LinuxInputThread::WindowNews LinuxInputThread::TakeWindowNews() noexcept {
    Drain(windowFd_);
    const uint64_t news = windowNews_.exchange(0);
    return {(news & EngineNews) != 0, (news & PointerMoved) != 0, (news & ButtonReleased) != 0};
}

void LinuxInputThread::FeedKey(uint32_t xKeyCode, bool released) noexcept {
    if (xKeyCode > 0xFFFF) return;
    // A queue of 256 keys does not fill while the thread runs; a key that finds it full is
    // left out rather than waited for.
    if (fedKeys_.TryPush({static_cast<uint16_t>(xKeyCode), released})) Signal(wakeFd_);
}

bool LinuxInputThread::AddKeyDevice(int fd) noexcept {
    if (fd < 0) return false;
    int owned = fd;
    if (!newDevices_.TryPush(std::move(owned))) {
        close(fd);
        return false;
    }
    deviceCount_.fetch_add(1);
    Signal(wakeFd_);
    return true;
}

void LinuxInputThread::DropKeyDevices() noexcept {
    dropDevices_ = true;
    Signal(wakeFd_);
}

void LinuxInputThread::Play(uint32_t xKeyCode, bool released) {
    if (const auto message = keys_.Apply(xKeyCode, released))
        Guarded([&] { engine_->KeyWatched(message->wParam, message->lParam); });
}

void LinuxInputThread::TakeWindowKeys() {
    FedKey key;
    while (fedKeys_.TryPop(key)) Play(key.xKeyCode, key.released);
}

void LinuxInputThread::TakeDevices(std::vector<Device>& devices) {
    int fd = -1;
    while (newDevices_.TryPop(fd))
        devices.push_back({fd, input::RecordReader(sizeof(input_event)), {}});
    if (dropDevices_.exchange(false)) {
        for (Device& device : devices) CloseDevice(device);
        devices.clear();
    }
}

void LinuxInputThread::CloseDevice(Device& device) {
    for (const input::KeyTransition& key : device.keys.ReleaseAll())
        Play(key.kernelCode + XKeyCodeOffset, true);
    close(device.fd);
    device.fd = -1;
    deviceCount_.fetch_sub(1);
}

bool LinuxInputThread::ReadDevice(Device& device) {
    uint8_t bytes[64 * sizeof(input_event)];
    const ssize_t got = read(device.fd, bytes, sizeof bytes);
    if (got < 0) return errno == EAGAIN || errno == EINTR;
    // The end of a stream, or a device unplugged.
    if (got == 0) return false;
    device.reader.Feed(bytes, static_cast<size_t>(got), [&](const input::Record& record) {
        input::KeyTransition key;
        if (device.keys.Apply(record, key)) Play(key.kernelCode + XKeyCodeOffset, key.released);
    });
    if (device.keys.ResyncNeeded()) {
        // What the device holds now; a stream that cannot tell holds nothing.
        uint8_t state[input::KeyCodeCount / 8] = {};
        std::bitset<input::KeyCodeCount> down;
        if (ioctl(device.fd, EVIOCGKEY(sizeof state), state) >= 0) {
            for (size_t code = 0; code < input::KeyCodeCount; ++code)
                down.set(code, (state[code / 8] >> (code % 8)) & 1);
        }
        for (const input::KeyTransition& key : device.keys.Resync(down))
            Play(key.kernelCode + XKeyCodeOffset, true);
    }
    return true;
}

void LinuxInputThread::WatchPointer(bool on) noexcept {
    if (watchPointer_.exchange(on) != on) Signal(wakeFd_);
}

template <typename Action> void LinuxInputThread::Guarded(Action action) noexcept {
    try {
        action();
    } catch (const std::exception& error) {
        try {
            if (lastProblem_ == error.what()) return;
            lastProblem_ = error.what();
        } catch (...) {
        }
        engine_->Report(error.what());
    } catch (...) {
        engine_->Report("Unexpected error.");
    }
}

void LinuxInputThread::Run() noexcept {
    Display* display = watch_ ? XOpenDisplay(nullptr) : nullptr;
    int opcode = 0;
    if (display) {
        int event = 0, error = 0, major = 2, minor = 2;
        // 2.2 (or 2.1): raw events also while another client holds a grab.
        if (!XQueryExtension(display, "XInputExtension", &opcode, &event, &error) ||
            XIQueryVersion(display, &major, &minor) != Success || major < 2 ||
            (major == 2 && minor < 1)) {
            XCloseDisplay(display);
            display = nullptr;
        }
    }
    bool pointer = false;
    if (display) SelectRawEvents(display, pointer);
    status_ = display ? WatchStatus::Ok : WatchStatus::Disabled;
    // Whatever was sent before the thread ran.
    Guarded([this] { engine_->ProcessCommands(); });
    ready_ = true;

    // The wake-up, the display, then the keyboard devices.
    constexpr size_t FirstDevice = 2;
    std::vector<Device> devices;
    std::vector<pollfd> waits;
    while (!stopping_) {
        waits.assign({{wakeFd_, POLLIN, 0}, {display ? ConnectionNumber(display) : -1, POLLIN, 0}});
        for (const Device& device : devices) waits.push_back({device.fd, POLLIN, 0});
        // Events already read into Xlib's queue are handled before waiting.
        if (!display || XPending(display) == 0) {
            if (poll(waits.data(), waits.size(), -1) < 0) continue;
        }
        if (waits[0].revents & POLLIN) {
            Drain(wakeFd_);
            Guarded([this] { engine_->ProcessCommands(); });
            TakeWindowKeys();
            TakeDevices(devices);
            settled_.fetch_add(1);
            if (display && watchPointer_ != pointer) {
                pointer = watchPointer_;
                SelectRawEvents(display, pointer);
            }
        }
        for (size_t i = FirstDevice; i < waits.size() && i - FirstDevice < devices.size(); ++i) {
            Device& device = devices[i - FirstDevice];
            if (waits[i].fd != device.fd || waits[i].revents == 0) continue;
            if (!ReadDevice(device)) CloseDevice(device);
        }
        std::erase_if(devices, [](const Device& device) { return device.fd < 0; });
        while (display && XPending(display) > 0) {
            XEvent event;
            XNextEvent(display, &event);
            XGenericEventCookie* cookie = &event.xcookie;
            if (cookie->type != GenericEvent || cookie->extension != opcode ||
                !XGetEventData(display, cookie))
                continue;
            const auto* raw = static_cast<const XIRawEvent*>(cookie->data);
            switch (cookie->evtype) {
            case XI_RawKeyPress:
            case XI_RawKeyRelease:
                eventTime_ = static_cast<uint32_t>(raw->time);
                Play(static_cast<uint32_t>(raw->detail), cookie->evtype == XI_RawKeyRelease);
                break;
            case XI_RawMotion:
                if (pointer) Post(PointerMoved);
                break;
            case XI_RawButtonRelease:
                if (pointer && raw->detail == PressButton) Post(ButtonReleased);
                break;
            default:
                break;
            }
            XFreeEventData(display, cookie);
        }
    }
    // The keys still held are let go, and the last commands apply, before the engine goes
    // back to the window's thread.
    TakeDevices(devices);
    for (Device& device : devices) CloseDevice(device);
    Guarded([this] { engine_->ProcessCommands(); });
    if (display) XCloseDisplay(display);
}

} // namespace zevaver

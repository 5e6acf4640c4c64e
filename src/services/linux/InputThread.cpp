#include "services/linux/InputThread.h"

#include <X11/Xlib.h>
#include <X11/extensions/XInput2.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

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

    pollfd waits[2] = {{wakeFd_, POLLIN, 0}, {display ? ConnectionNumber(display) : -1, POLLIN, 0}};
    while (!stopping_) {
        waits[0].revents = 0;
        // Events already read into Xlib's queue are handled before waiting.
        if (!display || XPending(display) == 0) {
            if (poll(waits, display ? 2 : 1, -1) < 0) continue;
        }
        if (waits[0].revents & POLLIN) {
            Drain(wakeFd_);
            Guarded([this] { engine_->ProcessCommands(); });
            settled_.fetch_add(1);
            if (display && watchPointer_ != pointer) {
                pointer = watchPointer_;
                SelectRawEvents(display, pointer);
            }
        }
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
            case XI_RawKeyRelease: {
                eventTime_ = static_cast<uint32_t>(raw->time);
                const auto message = keys_.Apply(static_cast<uint32_t>(raw->detail),
                                                 cookie->evtype == XI_RawKeyRelease);
                if (message)
                    Guarded([&] { engine_->KeyWatched(message->wParam, message->lParam); });
                break;
            }
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
    // The last commands apply before the engine goes back to the window's thread.
    Guarded([this] { engine_->ProcessCommands(); });
    if (display) XCloseDisplay(display);
}

} // namespace zevaver

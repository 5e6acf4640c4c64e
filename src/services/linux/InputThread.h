// The playing thread on Linux: keys of the whole X display, read as XInput 2.2 raw events on
// the root window over a connection of its own, with no grab and no privilege. Raw events
// arrive whichever program has the focus (also while another holds a keyboard grab) and
// carry no auto-repeat. Each key becomes the key message the Windows hook library would
// give (KernelKeystrokes) and goes to the playing engine at once, on this thread: the note
// is out before the window hears of it. The thread waits in poll() on the X connection and
// on an event descriptor the window's thread writes when commands wait; it does nothing
// else: no window, no file, no dialog.
//
// While a chrome control holds the pointer (a fader being dragged), the thread also reads
// raw pointer motion and the button's release and tells the window, which may not get them
// itself once the pointer is outside it.
#pragma once

#include "engine/PlayingEngine.h"
#include "framework/SpscQueue.h"
#include "services/InputEvents.h"
#include "services/KernelKeystrokes.h"
#include "services/WatchStatus.h"

#include <atomic>
#include <cstdint>
#include <thread>
#include <vector>

namespace zevaver {

class LinuxInputThread final : public EngineHost {
public:
    LinuxInputThread();
    ~LinuxInputThread();
    LinuxInputThread(const LinuxInputThread&) = delete;
    LinuxInputThread& operator=(const LinuxInputThread&) = delete;

    // Starts the thread for this engine; with `watch`, it reads the display's keys. False
    // when the thread could not be made.
    [[nodiscard]] bool Start(PlayingEngine& engine, bool watch) noexcept;
    // Waits until the thread is ready; how switching the watching on went.
    [[nodiscard]] WatchStatus AwaitReady() noexcept;
    // Applies the commands still waiting and ends the thread; the engine may then be used by
    // the caller's thread.
    void Stop() noexcept;
    // Returns once every command sent so far has been applied.
    void Settle() noexcept;

    // The window's thread: readable when the engine has news (then TakeEngineNews) or a
    // watched pointer event waits (then TakePointer).
    [[nodiscard]] int WindowFd() const noexcept { return windowFd_; }
    struct WindowNews {
        bool engine = false;
        bool pointerMoved = false;
        bool buttonReleased = false;
    };
    [[nodiscard]] WindowNews TakeWindowNews() noexcept;
    // Whether to watch the pointer (while a control holds it).
    void WatchPointer(bool on) noexcept;
    // The main window is the active one (the window's thread keeps this up to date).
    void SetMainWindowActive(bool active) noexcept { active_ = active; }

    // Keys from the window's own key events, where the display server gives no others
    // (Wayland): the X key code, and whether the key was let go. The window's thread.
    void FeedKey(uint32_t xKeyCode, bool released) noexcept;
    // A keyboard device (or anything that delivers its records, a pipe in the tests) to read
    // keys from: the thread owns the descriptor from now on and closes it when the device
    // goes, when asked to, or when it ends; the keys it held are let go then. The window's
    // thread; false when too many wait to be taken over (the descriptor is then closed).
    [[nodiscard]] bool AddKeyDevice(int fd) noexcept;
    // Stops reading every device.
    void DropKeyDevices() noexcept;
    // The devices read now.
    [[nodiscard]] int KeyDevices() const noexcept { return deviceCount_.load(); }

    // EngineHost.
    bool WakeEngine() noexcept override;
    bool WakeWindow() noexcept override;
    [[nodiscard]] bool IsMainWindowActive() override { return active_.load(); }
    [[nodiscard]] bool IsKeyDown(int32_t key) override { return keys_.IsDown(key); }
    [[nodiscard]] uint32_t EventTime() override { return eventTime_; }

private:
    struct Device {
        int fd = -1;
        input::RecordReader reader;
        input::DeviceKeys keys;
    };
    struct FedKey {
        uint16_t xKeyCode = 0;
        bool released = false;
    };

    void Run() noexcept;
    // The engine's thread: one key transition by X key code.
    void Play(uint32_t xKeyCode, bool released);
    void TakeWindowKeys();
    void TakeDevices(std::vector<Device>& devices);
    // Reads what a device has; false when it has gone (its keys then let go).
    [[nodiscard]] bool ReadDevice(Device& device);
    void CloseDevice(Device& device);
    template <typename Action> void Guarded(Action action) noexcept;
    void Post(uint64_t what) noexcept;

    PlayingEngine* engine_ = nullptr;
    bool watch_ = false;
    std::thread thread_;
    int wakeFd_ = -1;   // the engine's: commands wait, or the thread is asked to stop
    int windowFd_ = -1; // the window's
    std::atomic<uint64_t> windowNews_{0};
    std::atomic<bool> stopping_{false};
    std::atomic<bool> watchPointer_{false};
    std::atomic<bool> active_{false};
    std::atomic<int> settled_{0};
    std::atomic<bool> ready_{false};
    bool ended_ = false; // the window's thread only
    std::atomic<WatchStatus> status_{WatchStatus::Disabled};
    fw::SpscQueue<FedKey, 256> fedKeys_;
    fw::SpscQueue<int, 16> newDevices_;
    std::atomic<bool> dropDevices_{false};
    std::atomic<int> deviceCount_{0};
    // The engine's thread only.
    KernelKeystrokes keys_;
    uint32_t eventTime_ = 0;
    std::string lastProblem_;
};

} // namespace zevaver

#include "services/win/InputThread.h"

#include "framework/win/MessageOnlyWindow.h"
#include "services/win/DesktopSwitch.h"
#include "services/win/Watch.h"

#include <exception>
#include <memory>

namespace zevaver {

namespace {

// The main thread's requests, sent to the control window (answered on the input thread).
constexpr UINT StopRequest = WM_APP + 2;
// Applies the commands waiting now (tests read the engine afterwards).
constexpr UINT SettleRequest = WM_APP + 4;
// Posted: commands are waiting.
constexpr UINT WakeRequest = WM_APP + 3;
// Posted: the hook missed keys.
constexpr UINT HookMissedRequest = WM_APP + 5;
constexpr char ControlClassName[] = "MKInputThread";
// A wake-up that could not be posted (the receiving queue full) is tried again this soon.
constexpr UINT WakeRetryMs = 20;

uint32_t PackPoint(int32_t x, int32_t y) noexcept {
    return static_cast<uint32_t>(static_cast<uint16_t>(x)) |
           static_cast<uint32_t>(static_cast<uint16_t>(y)) << 16;
}

POINT UnpackPoint(uint32_t packed) noexcept {
    return {static_cast<int16_t>(packed & 0xFFFFu), static_cast<int16_t>(packed >> 16)};
}

} // namespace

// Everything that lives on the input thread, made and destroyed there.
class InputThread::Worker {
public:
    explicit Worker(InputThread& owner) noexcept
        : owner_(owner),
          control_([this](UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
              return Handle(message, wParam, lParam, result);
          }) {}

    ~Worker() {
        StopWatching();
        desktop_.Stop();
    }
    Worker(const Worker&) = delete;
    Worker& operator=(const Worker&) = delete;

    [[nodiscard]] bool Create() noexcept {
        if (!control_.Create(ControlClassName)) return false;
        // Keys released on another desktop are never reported: the key state is read back
        // whenever the desktop changes.
        (void)desktop_.Start([this] { Guarded([this] { owner_.engine_->ReconcileKeys(); }); });
        return true;
    }
    [[nodiscard]] HWND Control() const noexcept { return control_.Handle(); }

    // Runs a piece of the engine; a failure is handed to the window to report, once.
    template <typename Action> void Guarded(Action action) noexcept {
        try {
            action();
        } catch (const std::exception& error) {
            Problem(error.what());
        } catch (...) {
            Problem("Unexpected error.");
        }
    }

private:
    bool Handle(UINT message, WPARAM, LPARAM, LRESULT&) noexcept {
        switch (message) {
        case StopRequest:
            StopWatching();
            PostQuitMessage(0);
            return true;
        case WakeRequest:
        case SettleRequest:
            Guarded([this] { owner_.engine_->ProcessCommands(); });
            return true;
        case HookMissedRequest:
            if (watch_ && watch_->LibraryLoaded()) watch_->Rewatch(watch::KindKeyboard);
            Guarded([this] { owner_.engine_->ReconcileKeys(); });
            return true;
        default:
            return false;
        }
    }

public:
    WatchStatus StartWatching(int32_t kind) noexcept {
        try {
            if (!watch_) {
                watch_ = std::make_unique<TWatch>();
                watch_->SetApplicationWindow(owner_.mainWindow_);
                watch_->OnKeyNative = [this](TWatch&, int32_t wParam, int32_t lParam) {
                    // The note first; the count and the clock after it.
                    Guarded([&] { owner_.engine_->KeyWatched(wParam, lParam); });
                    owner_.tally_.Count(
                        static_cast<uint32_t>(wParam < 0 ? -int64_t{wParam} : int64_t{wParam}));
                    owner_.lastSeen_ = GetTickCount();
                };
                watch_->OnMouseMove = [this](TWatch&, int32_t x, int32_t y) {
                    owner_.lastSeen_ = GetTickCount();
                    owner_.ReportPointer(PointerMoved, x, y);
                };
                watch_->OnMouseDown = [this](TWatch&, watch::MouseButton, bool, int32_t, int32_t) {
                    owner_.lastSeen_ = GetTickCount();
                };
                watch_->OnMouseUp = [this](TWatch&, watch::MouseButton, bool, int32_t x,
                                           int32_t y) {
                    owner_.lastSeen_ = GetTickCount();
                    owner_.ReportPointer(ButtonReleased, x, y);
                };
            }
            const WatchStatus status = watch_->StartWatching(kind);
            owner_.lastSeen_ = GetTickCount();
            return status;
        } catch (...) {
            return WatchStatus::Disabled;
        }
    }

private:
    void StopWatching() noexcept {
        if (!watch_) return;
        watch_->StopWatching(watch::KindMouse);
        watch_->StopWatching(watch::KindKeyboard);
        watch_.reset();
    }

    void Problem(const char* text) noexcept {
        try {
            if (text == lastProblem_) return;
            lastProblem_ = text;
        } catch (...) {
        }
        owner_.engine_->Report(text);
    }

    InputThread& owner_;
    fw::MessageOnlyWindow control_;
    std::unique_ptr<TWatch> watch_;
    DesktopSwitch desktop_;
    std::string lastProblem_;
};

InputThread::~InputThread() {
    Stop();
}

bool InputThread::Start(PlayingEngine& engine, HWND mainWindow, bool watch) noexcept {
    if (thread_) return true;
    engine_ = &engine;
    mainWindow_ = mainWindow;
    watch_ = watch;
    ready_.reset(CreateEventA(nullptr, TRUE, FALSE, nullptr));
    if (!ready_) return false;
    thread_.reset(CreateThread(nullptr, 0, &InputThread::Main, this, CREATE_SUSPENDED, nullptr));
    if (!thread_) return false;
    // Low-level hooks hold up all input of the session until they return.
    SetThreadPriority(thread_.get(), THREAD_PRIORITY_HIGHEST);
    ResumeThread(thread_.get());
    return true;
}

bool InputThread::AwaitReady() noexcept {
    if (!thread_) return false;
    const HANDLE handles[] = {ready_.get(), thread_.get()};
    (void)WaitForMultipleObjects(2, handles, FALSE, INFINITE);
    if (control_) return true;
    WaitForSingleObject(thread_.get(), INFINITE);
    thread_.reset();
    return false;
}

DWORD WINAPI InputThread::Main(void* parameter) noexcept {
    auto& self = *static_cast<InputThread*>(parameter);
    {
        Worker worker(self);
        MSG message{};
        PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE); // this thread's queue
        const bool made = worker.Create();
        if (made) {
            self.control_ = worker.Control();
            // Whatever was sent before the thread ran.
            worker.Guarded([&self] { self.engine_->ProcessCommands(); });
            if (self.watch_) {
                self.keyboardStatus_ = worker.StartWatching(watch::KindKeyboard);
                self.mouseStatus_ = worker.StartWatching(watch::KindMouse);
            }
        }
        SetEvent(self.ready_.get());
        if (made) {
            while (GetMessageA(&message, nullptr, 0, 0) > 0) DispatchMessageA(&message);
        }
        // The last commands apply before the engine goes back to the main thread.
        self.control_ = nullptr;
        worker.Guarded([&self] { self.engine_->ProcessCommands(); });
    }
    return 0;
}

void CALLBACK InputThread::RetryWakeEngine(HWND window, UINT, UINT_PTR id, DWORD) noexcept {
    KillTimer(window, id);
    reinterpret_cast<InputThread*>(id)->engine_->RetryWakeEngine();
}

void CALLBACK InputThread::RetryWakeWindow(HWND window, UINT, UINT_PTR id, DWORD) noexcept {
    KillTimer(window, id);
    reinterpret_cast<InputThread*>(id)->engine_->RetryWakeWindow();
}

void InputThread::Stop() noexcept {
    if (!AwaitReady()) return;
    if (const HWND control = control_) SendMessageA(control, StopRequest, 0, 0);
    WaitForSingleObject(thread_.get(), INFINITE);
    thread_.reset();
    stopped_ = true;
    // Posted before the end and never taken.
    KillTimer(mainWindow_, reinterpret_cast<UINT_PTR>(this));
}

void InputThread::Settle() noexcept {
    if (!AwaitReady()) return;
    if (const HWND control = control_) SendMessageA(control, SettleRequest, 0, 0);
}

// Before the thread is ready, what was sent waits for it (it applies that first thing);
// once it has ended, the engine is this thread's.
bool InputThread::WakeEngine() noexcept {
    if (stopped_) {
        try {
            engine_->ProcessCommands();
        } catch (...) {
        }
        return true;
    }
    const HWND control = control_;
    if (!control || PostMessageA(control, WakeRequest, 0, 0)) return true;
    SetTimer(mainWindow_, reinterpret_cast<UINT_PTR>(this), WakeRetryMs, &RetryWakeEngine);
    return false;
}

bool InputThread::WakeWindow() noexcept {
    if (PostMessageA(mainWindow_, EngineMessage, 0, 0)) return true;
    if (const HWND control = control_)
        SetTimer(control, reinterpret_cast<UINT_PTR>(this), WakeRetryMs, &RetryWakeWindow);
    return false;
}

void InputThread::HookMissed() noexcept {
    if (const HWND control = control_) PostMessageA(control, HookMissedRequest, 0, 0);
}

bool InputThread::IsMainWindowActive() {
    return mainWindow_ != nullptr && GetForegroundWindow() == mainWindow_;
}

// The key state as the system has it now, whichever program has the focus.
bool InputThread::IsKeyDown(int32_t key) {
    return key >= 0 && key <= 255 && (GetAsyncKeyState(key) & 0x8000) != 0;
}

// Keys arrive inside the keyboard hook's call, not as retrieved messages, so the clock is
// read rather than a message's time.
uint32_t InputThread::EventTime() {
    return static_cast<uint32_t>(GetTickCount());
}

void InputThread::ReportPointer(WPARAM kind, int32_t x, int32_t y) noexcept {
    const uint32_t position = PackPoint(x, y);
    if (kind != PointerMoved) {
        PostMessageA(mainWindow_, PointerMessage, kind, static_cast<LPARAM>(position));
        return;
    }
    pointer_ = position;
    if (!movePosted_.exchange(true)) PostMessageA(mainWindow_, PointerMessage, PointerMoved, 0);
}

POINT InputThread::TakePointer(WPARAM kind, LPARAM lParam) noexcept {
    if (kind != PointerMoved) return UnpackPoint(static_cast<uint32_t>(lParam));
    movePosted_ = false;
    return UnpackPoint(pointer_);
}

} // namespace zevaver

// The input thread: owns the keyboard hook and does nothing else. The input watch lives
// here (its receiver window, the hook library, the desktop-switch watcher), so the library
// hooks the keyboard on this thread and every keystroke reaches the playing engine inside
// the hook's own call, where the note goes out before anything else happens. No window of
// the user interface, no painting, no file, registry or shell call and no modal loop runs
// here: whatever the window's thread is doing (drawing, a menu, a message box, the settings
// dialog, hiding the window), keys play and everyone's typing goes on.
//
// What the engine publishes and the watched pointer events reach the main window as posted
// messages, at most one wake-up waiting in each direction; one that cannot be posted is
// tried again shortly. Should the system drop the hook (it does so silently with a hook
// that once took too long), the window's thread notices (WinHookWatchdog) and has the hook
// put back and the held keys brought in line.
#pragma once

#include <windows.h>

#include "engine/PlayingEngine.h"
#include "framework/win/Handles.h"
#include "services/HookWatchdog.h"
#include "services/WatchStatus.h"

#include <atomic>
#include <cstdint>

namespace zevaver {

class InputThread final : public EngineHost {
public:
    // Posted to the main window: the engine has news (AppCore::EngineChanged).
    static constexpr UINT EngineMessage = WM_APP + 0x100;
    // Posted to the main window: a watched pointer event, lParam the screen position (two
    // signed 16-bit halves), wParam one of these.
    static constexpr UINT PointerMessage = WM_APP + 0x101;
    static constexpr WPARAM PointerMoved = 0;
    static constexpr WPARAM ButtonReleased = 1;

    InputThread() noexcept = default;
    // Stops the thread if it still runs.
    ~InputThread();
    InputThread(const InputThread&) = delete;
    InputThread& operator=(const InputThread&) = delete;

    // Starts the thread for this engine, at a raised priority, and returns at once: the
    // thread gets ready while the caller goes on; the engine runs there from then on until
    // Stop. News go to mainWindow. With `watch`, the thread switches on the keyboard and the
    // mouse watching as it gets ready. False when the thread could not be made.
    [[nodiscard]] bool Start(PlayingEngine& engine, HWND mainWindow, bool watch) noexcept;
    // Waits until the thread is ready; false when it could not get ready (it has ended).
    [[nodiscard]] bool AwaitReady() noexcept;
    // Once ready: how switching the watching on went, for the caller to report (nothing
    // here shows a box).
    [[nodiscard]] WatchStatus KeyboardStatus() const noexcept { return keyboardStatus_; }
    [[nodiscard]] WatchStatus MouseStatus() const noexcept { return mouseStatus_; }
    // Stops watching, applies the commands still waiting and ends the thread; the engine
    // may then be used by the caller's thread (commands then apply as they are sent).
    void Stop() noexcept;
    // Returns once every command sent so far has been applied (tests, which then read the
    // engine while no key plays).
    void Settle() noexcept;

    // The keyboard hook missed keys: it is put back, and the keys the engine holds are
    // brought in line with the system's key state. From the window's thread.
    void HookMissed() noexcept;
    // What the hook has seen, per key, and when the hooks last reported input (either).
    [[nodiscard]] const HookTally& Tally() const noexcept { return tally_; }
    [[nodiscard]] uint32_t LastSeen() const noexcept { return lastSeen_.load(); }

    // EngineHost.
    bool WakeEngine() noexcept override;
    bool WakeWindow() noexcept override;
    [[nodiscard]] bool IsMainWindowActive() override;
    [[nodiscard]] bool IsKeyDown(int32_t key) override;
    [[nodiscard]] uint32_t EventTime() override;

    // A watched pointer event for the main window (screen coordinates).
    void ReportPointer(WPARAM kind, int32_t x, int32_t y) noexcept;
    // The main window's side of a pointer message: the position it carries now (a move
    // posted earlier carries the latest one) and the wish for the next move.
    [[nodiscard]] POINT TakePointer(WPARAM kind, LPARAM lParam) noexcept;

private:
    class Worker;
    static DWORD WINAPI Main(void* self) noexcept;
    static void CALLBACK RetryWakeEngine(HWND, UINT, UINT_PTR id, DWORD) noexcept;
    static void CALLBACK RetryWakeWindow(HWND, UINT, UINT_PTR id, DWORD) noexcept;

    PlayingEngine* engine_ = nullptr;
    HWND mainWindow_ = nullptr;
    bool watch_ = false;
    WatchStatus keyboardStatus_ = WatchStatus::Disabled;
    WatchStatus mouseStatus_ = WatchStatus::Disabled;
    fw::KernelHandle thread_;
    fw::KernelHandle ready_;
    // The control window on the input thread, to which the main thread sends its requests.
    std::atomic<HWND> control_{nullptr};
    // Pointer moves are folded: while one is posted and not yet taken, later ones only
    // update the position.
    std::atomic<uint32_t> pointer_{0};
    std::atomic<bool> movePosted_{false};
    HookTally tally_;
    std::atomic<uint32_t> lastSeen_{0};
    // Set once the thread has ended: the engine is the caller's again.
    std::atomic<bool> stopped_{false};
};

} // namespace zevaver

// Shared pieces of the watch tests: where the built files are, a direct handle on a hook
// library, captured message boxes, message pumping with an upper bound, and a second
// watching process.
#pragma once

#include <windows.h>

#include "framework/win/Handles.h"

#include <functional>
#include <string>
#include <vector>

namespace watchtest {

// The folder of the test program, with a trailing separator.
[[nodiscard]] std::string TestFolder();
[[nodiscard]] std::string RealLibraryPath();
[[nodiscard]] std::string LackingLibraryPath(const std::string& missingExport);
[[nodiscard]] std::string ScriptedLibraryPath();

// The library's exports, called directly as a second user of the library would.
class HookLibrary {
public:
    explicit HookLibrary(const std::string& path);
    [[nodiscard]] bool Loaded() const noexcept { return module_.valid(); }
    [[nodiscard]] HMODULE Module() const noexcept { return module_.get(); }

    void StartWatching(int kind) const { startWatching_(kind); }
    void StopWatching(int kind) const { stopWatching_(kind); }
    [[nodiscard]] bool StillWatching() const { return stillWatching_() != FALSE; }
    void StopAll() const { stopAll_(); }
    [[nodiscard]] bool SetReceiver(HWND window) const { return setReceiver_(window) != FALSE; }
    [[nodiscard]] HWND GetReceiver() const { return getReceiver_(); }

    template <typename Function> [[nodiscard]] Function Entry(const char* name) const {
        return reinterpret_cast<Function>(
            reinterpret_cast<void (*)()>(GetProcAddress(module_.get(), name)));
    }

private:
    fw::Library module_;
    void(WINAPI* startWatching_)(int) = nullptr;
    void(WINAPI* stopWatching_)(int) = nullptr;
    BOOL(WINAPI* stillWatching_)() = nullptr;
    void(WINAPI* stopAll_)() = nullptr;
    BOOL(WINAPI* setReceiver_)(HWND) = nullptr;
    HWND(WINAPI* getReceiver_)() = nullptr;
};

struct ShownBox {
    std::string text;
    std::string caption;
    UINT type;
};

// Message boxes are recorded instead of shown while this lives; the termination request
// of an earlier test is forgotten.
class MessageBoxCapture {
public:
    MessageBoxCapture();
    ~MessageBoxCapture();
    MessageBoxCapture(const MessageBoxCapture&) = delete;
    MessageBoxCapture& operator=(const MessageBoxCapture&) = delete;
    [[nodiscard]] const std::vector<ShownBox>& Shown() const;
    [[nodiscard]] std::vector<std::string> Texts() const;
    void Clear();
};

// Dispatches messages until done() holds; false if it still does not after a generous
// bound (a lost event, not a slow one).
[[nodiscard]] bool PumpUntil(const std::function<bool()>& done);
// Dispatches whatever is waiting now and what the library posts in the next moments.
void PumpBriefly();

// A plain top-level window of this process with the given title.
[[nodiscard]] fw::Window MakeTopLevelWindow(const std::string& title, bool visible = false);

// watch_peer.exe in its own process: "hold" or "count" mode. The constructor waits until
// the peer has registered (or ended).
class PeerProcess {
public:
    explicit PeerProcess(const char* mode);
    ~PeerProcess();
    PeerProcess(const PeerProcess&) = delete;
    PeerProcess& operator=(const PeerProcess&) = delete;

    // Whether the peer is up with its receiver registered.
    [[nodiscard]] bool Ready() const noexcept { return ready_; }
    // Asks the peer to end and returns its exit code (-1 if it would not end).
    int Finish();
    // Waits for the peer to end by itself and returns its exit code (-1 if it would not).
    int AwaitExit();
    // Ends the peer the hard way, as a crash would.
    void Kill();

private:
    fw::KernelHandle readyEvent_;
    fw::KernelHandle quitEvent_;
    fw::KernelHandle process_;
    bool ready_ = false;
};

} // namespace watchtest

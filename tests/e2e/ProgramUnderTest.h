// Starts the real program under test in a folder of its own (a copy of the staged
// program, hook library, test MIDI library and data folders), drives it with real input
// and reads back what it did: the recorded MIDI calls, its window, the screen.
#pragma once

#include "engine/SettingsStore.h"
#include "framework/win/Handles.h"
#include "keyboard/MidiMessages.h"

#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace zevaver {

namespace e2e {

// The program's settings key, as the registry functions take it.
inline const std::string SettingsKey{SettingsKeyPath};

// The notes as the program sends them at its factory settings: channel 1, full velocity,
// and a note-off of velocity 0.
[[nodiscard]] constexpr uint32_t NoteOn(int note, int velocity = 127, int channel = 1) {
    return midi::NoteOn(channel, note, velocity);
}
[[nodiscard]] constexpr uint32_t NoteOff(int note, int channel = 1) {
    return midi::NoteOff(channel, note, 0);
}

struct MidiCall {
    long long time = 0;   // QueryPerformanceCounter ticks
    std::string name;     // midiOutShortMsg, midiOutOpen, ...
    std::string text;     // the whole line after the time
    uint32_t message = 0; // for midiOutShortMsg
    int device = -99;     // for midiOutOpen and midiOutGetDevCapsA
};

struct MidiSetup {
    int devices = 1;
    std::string names;    // '|'-separated, empty for the defaults
    std::string openFail; // device indexes whose open fails
    // The ports by name, in a file the test MIDI library reads at every call, so that they
    // can come and go while the program runs (ProgramUnderTest::SetPorts); in place of
    // devices and names when given.
    std::optional<std::vector<std::string>> ports;
};

class ProgramUnderTest {
public:
    explicit ProgramUnderTest(const std::string& testName);
    // The program in a subfolder of the test's folder whose name may hold any characters
    // (outside the ANSI code page too).
    ProgramUnderTest(const std::string& testName, const std::wstring& subfolder);
    // The program as it lies in a folder of its own (an installed or unpacked copy), run
    // there without copying; the folder must hold the test MIDI library as winmm.dll.
    ProgramUnderTest(const std::string& testName, const std::string& installedFolder);
    ~ProgramUnderTest();
    ProgramUnderTest(const ProgramUnderTest&) = delete;
    ProgramUnderTest& operator=(const ProgramUnderTest&) = delete;

    // Starts the program and waits until its main window exists and the program waits for
    // input (which a message box shown during start-up also counts as). False on a
    // time-out.
    // startIn: the current folder the program starts in (its own folder when empty).
    [[nodiscard]] bool Start(const MidiSetup& midi = {}, const std::string& arguments = "",
                             const std::filesystem::path& startIn = {});
    // Asks the window to close and waits for the process to end; returns its exit code.
    int Close();
    [[nodiscard]] bool Running() const;

    // Removes the program's skin folders: the window then has the platform's frame and
    // the keyboard its built-in colours, filling the client area.
    void WithoutSkins() const;

    [[nodiscard]] HWND MainWindow() const { return window_; }
    // The folder holding the program, its libraries and its data folders.
    [[nodiscard]] const std::string& Folder() const { return folder_; }
    [[nodiscard]] const std::filesystem::path& ProgramFolder() const { return programFolder_; }
    // The test's own folder (plain characters), which holds the MIDI log.
    [[nodiscard]] const std::filesystem::path& TestFolder() const { return testFolder_; }
    // Where the program keeps the user's own layouts: the test gives it an application data
    // folder of its own, so no test sees another's.
    [[nodiscard]] std::filesystem::path UserLayouts() const {
        return testFolder_ / "AppData" / "Zevaver" / "MIDI Keyboard" / "Layouts";
    }

    // The ports the test MIDI library lists from now on (a start with MidiSetup::ports); the
    // list is replaced in one step, never seen half written.
    void SetPorts(const std::vector<std::string>& names) const;
    // Tells the program's window that devices came or went, as the system does.
    void DevicesChanged() const;

    [[nodiscard]] std::vector<MidiCall> MidiCalls() const;
    // The midiOutShortMsg values in order.
    [[nodiscard]] std::vector<uint32_t> ShortMessages() const;
    // Waits until at least count short messages were recorded.
    bool WaitForShortMessages(size_t count, int timeoutMs = 5000) const;
    void ClearMidiLog() const;

    // Waits for a message box of the program and returns its caption and text ("" when
    // none came).
    [[nodiscard]] std::string WaitForMessageBox(int timeoutMs = 5000,
                                                std::string* caption = nullptr) const;
    // Presses OK on the program's message box.
    void DismissMessageBox() const;
    [[nodiscard]] DWORD ProcessId() const { return processId_; }

    // Gives the program time to handle what was sent to it.
    void Settle(int milliseconds = 150) const;

private:
    std::string name_;
    std::string folder_; // the program's folder, when plain characters name it
    std::filesystem::path programFolder_;
    std::filesystem::path testFolder_;
    std::string log_;
    std::filesystem::path portsFile_;
    fw::KernelHandle process_;
    HWND window_ = nullptr;
    DWORD processId_ = 0;
};

// Input as a user would give it, through SendInput.
void MouseMoveTo(int screenX, int screenY);
void MouseLeftDown();
void MouseLeftUp();
void MouseRightClick();
void KeyDown(WORD virtualKey, WORD scanCode = 0, bool extended = false);
void KeyUp(WORD virtualKey, WORD scanCode = 0, bool extended = false);

// The first top-level window of the process that passes the test, or null.
[[nodiscard]] HWND FindProcessWindow(DWORD processId, const std::function<bool(HWND)>& matches);
// The first of its visible top-level windows of the given class ("#32770": a message box
// or dialog), or null.
[[nodiscard]] HWND VisibleWindow(DWORD processId, const char* className);
// The receiver window of the process's input watch (message-only, so no top-level
// search finds it): the hook library posts there, and so may any process.
[[nodiscard]] HWND WatchReceiver(DWORD processId);
[[nodiscard]] std::string ClassName(HWND window);
[[nodiscard]] std::string WindowTitle(HWND window);
// The longest static text of a message box: its message.
[[nodiscard]] std::string BoxText(HWND box);

// Reads one pixel of the screen as the user sees it.
[[nodiscard]] COLORREF ScreenPixel(int screenX, int screenY);
// The top-left corner of a window's client area on the screen.
[[nodiscard]] POINT ClientOrigin(HWND window);

// Deletes the program's settings key, so a test starts as a first run.
void ForgetSettings();
// Writes one of the program's stored values (the key must exist: a first run that ended
// creates it with all its values).
void StoreSetting(const std::string& name, const std::string& value);
// A stored value as UTF-8, whatever characters it holds.
[[nodiscard]] std::string StoredSetting(const std::string& name);

// A plain window of the test's own that takes the focus, so the program plays while
// another application is active.
class ForeignWindow {
public:
    ForeignWindow();
    ~ForeignWindow();
    ForeignWindow(const ForeignWindow&) = delete;
    ForeignWindow& operator=(const ForeignWindow&) = delete;
    void Activate() const;
    [[nodiscard]] HWND Handle() const { return window_; }

private:
    HWND window_ = nullptr;
};

// Taps a key: down then up.
void Tap(WORD virtualKey);

// Stops the thread that owns a window for one scope, as a hung or busy thread would be.
class StoppedThread {
public:
    explicit StoppedThread(HWND window);
    ~StoppedThread() { Resume(); }
    StoppedThread(const StoppedThread&) = delete;
    StoppedThread& operator=(const StoppedThread&) = delete;
    [[nodiscard]] bool Holds() const { return thread_.valid(); }
    void Resume();

private:
    fw::KernelHandle thread_;
};

// QueryPerformanceCounter, the clock of the MIDI log.
[[nodiscard]] long long Ticks();
[[nodiscard]] double TicksToMs(long long ticks);

// Checks the condition until it holds (true) or timeoutMs have passed (false), keeping this
// process's own windows answering meanwhile.
bool WaitFor(const std::function<bool()>& condition, int timeoutMs = 5000);

// A window's bounds on the screen.
[[nodiscard]] RECT Bounds(HWND window);

} // namespace e2e

} // namespace zevaver

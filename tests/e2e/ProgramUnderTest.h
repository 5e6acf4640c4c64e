// Starts the real program under test in a folder of its own (a copy of the staged
// program, hook library, test MIDI library and data folders), drives it with real input
// and reads back what it did: the recorded MIDI calls, its window, the screen.
#pragma once

#include "framework/win/Handles.h"

#include <cstdint>
#include <string>
#include <vector>

namespace e2e {

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
};

class ProgramUnderTest {
public:
    explicit ProgramUnderTest(const std::string& testName);
    // The program as it lies in a folder of its own (an installed or unpacked copy), run
    // there without copying; the folder must hold the test MIDI library as winmm.dll.
    ProgramUnderTest(const std::string& testName, const std::string& installedFolder);
    ~ProgramUnderTest();
    ProgramUnderTest(const ProgramUnderTest&) = delete;
    ProgramUnderTest& operator=(const ProgramUnderTest&) = delete;

    // Starts the program and waits until its main window exists and the program waits for
    // input (which a message box shown during start-up also counts as). False on a
    // time-out.
    [[nodiscard]] bool Start(const MidiSetup& midi = {}, const std::string& arguments = "");
    // Asks the window to close and waits for the process to end; returns its exit code.
    int Close();
    [[nodiscard]] bool Running() const;

    // Removes the program's skin folders: the window then has the platform's frame and
    // the keyboard its built-in colours, filling the client area.
    void WithoutSkins() const;

    [[nodiscard]] HWND MainWindow() const { return window_; }
    [[nodiscard]] const std::string& Folder() const { return folder_; }

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
    std::string folder_;
    std::string log_;
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

// Reads one pixel of the screen as the user sees it.
[[nodiscard]] COLORREF ScreenPixel(int screenX, int screenY);
// The top-left corner of a window's client area on the screen.
[[nodiscard]] POINT ClientOrigin(HWND window);

// Deletes the program's settings key, so a test starts as a first run.
void ForgetSettings();
// Writes one of the program's stored values (the key must exist: a first run that ended
// creates it with all its values).
void StoreSetting(const std::string& name, const std::string& value);
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

} // namespace e2e

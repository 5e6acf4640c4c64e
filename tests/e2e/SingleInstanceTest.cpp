// One running copy per executable file name, with real processes: later starts hand over
// and end unseen, the running copy comes forward and keeps its input watch, a copy that
// does not answer is replaced after the wait, and differently named copies run apart.
#include "ProgramUnderTest.h"

#include "mainwindow/win/KeysForm.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace zevaver {

namespace fs = std::filesystem;

namespace {

using e2e::BoxText;
using e2e::ProgramUnderTest;
using e2e::VisibleWindow;
using e2e::WaitFor;
using Clock = std::chrono::steady_clock;

constexpr WORD KeyZ = 'Z';
constexpr uint32_t NoteOnC3 = e2e::NoteOn(48);
constexpr uint32_t NoteOffC3 = e2e::NoteOff(48);
// Generous: Wine starts processes slowly on a busy machine.
constexpr int StartTimeoutMs = 60000;

HWND SettingsDialogOf(DWORD processId) {
    return e2e::FindProcessWindow(processId, [](HWND window) {
        return IsWindowVisible(window) && e2e::WindowTitle(window) == "Settings";
    });
}

void Dismiss(HWND box) {
    PostMessageA(box, WM_COMMAND, IDOK, 0);
}

// A start of the program beside the one under test: its own MIDI log, and a record of
// whether a main window of it was ever seen on the screen. Never outlives its test.
class Start {
public:
    Start(const std::string& folder, const std::string& exeName, const std::string& arguments) {
        const std::string exe = (fs::path(folder) / exeName).string();
        SetEnvironmentVariableA("FAKEMIDI_LOG", (fs::path(folder) / "later.log").string().c_str());
        std::string commandLine = "\"" + exe + "\"" + (arguments.empty() ? "" : " " + arguments);
        STARTUPINFOA startup{sizeof startup};
        PROCESS_INFORMATION info{};
        if (CreateProcessA(exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                           folder.c_str(), &startup, &info)) {
            process_.reset(info.hProcess);
            CloseHandle(info.hThread);
            processId_ = info.dwProcessId;
        }
        started_ = Clock::now();
    }
    ~Start() {
        if (Running()) {
            TerminateProcess(process_.get(), 99);
            WaitForSingleObject(process_.get(), 10000);
        }
    }
    Start(const Start&) = delete;
    Start& operator=(const Start&) = delete;

    [[nodiscard]] bool Launched() const { return process_.valid(); }
    [[nodiscard]] bool Running() const {
        return process_ && WaitForSingleObject(process_.get(), 0) == WAIT_TIMEOUT;
    }
    [[nodiscard]] DWORD ProcessId() const { return processId_; }
    [[nodiscard]] HWND Window() const { return VisibleWindow(processId_, TKeysForm::ClassName); }
    [[nodiscard]] HWND MessageBox() const { return VisibleWindow(processId_, "#32770"); }
    // Looks once; called while waiting, so that a window shown at any time is noticed.
    bool Watch() {
        if (Window()) showedWindow_ = true;
        return !Running();
    }
    [[nodiscard]] bool ShowedWindow() const { return showedWindow_; }
    [[nodiscard]] int ExitCode() const {
        DWORD code = STILL_ACTIVE;
        GetExitCodeProcess(process_.get(), &code);
        return static_cast<int>(code);
    }
    [[nodiscard]] long long SecondsSinceLaunch() const {
        return std::chrono::duration_cast<std::chrono::seconds>(Clock::now() - started_).count();
    }
    bool WaitForEnd(int timeoutMs) {
        return WaitFor([this] { return Watch(); }, timeoutMs);
    }
    // A start that hands over has no window to own a box: a box shown meanwhile fails the
    // test and is closed, so that the process can end.
    bool WaitForEndWithoutBox(int timeoutMs) {
        if (!WaitFor([this] { return Watch() || MessageBox(); }, timeoutMs)) return false;
        if (HWND box = MessageBox()) {
            ADD_FAILURE() << "a message box: " << BoxText(box);
            Dismiss(box);
            return WaitForEnd(timeoutMs);
        }
        return true;
    }

private:
    fw::KernelHandle process_;
    DWORD processId_ = 0;
    bool showedWindow_ = false;
    Clock::time_point started_;
};

class SingleInstance : public ::testing::Test {
protected:
    void SetUp() override { e2e::ForgetSettings(); }

    bool InFront(HWND window) {
        return WaitFor(
            [window] {
                return IsWindowVisible(window) && !IsIconic(window) &&
                       GetForegroundWindow() == window;
            },
            15000);
    }
    bool StillPlays() {
        program.ClearMidiLog();
        foreign.Activate();
        program.Settle(300);
        e2e::Tap(KeyZ);
        program.WaitForShortMessages(2, 10000);
        return program.ShortMessages() == std::vector<uint32_t>{NoteOnC3, NoteOffC3};
    }

    ProgramUnderTest program{"SingleInstance"};
    e2e::ForeignWindow foreign;
};

TEST_F(SingleInstance, ASecondStartEndsUnseenAndTheRunningCopyComesForwardStillPlaying) {
    struct Row {
        const char* what;
        std::string firstArguments;
        bool minimise;
        std::string laterArguments;
    };
    const Row rows[] = {
        {"behind another window", "", false, ""},
        {"minimised", "", true, "/M"},
        {"started in the notification area", "/M", false, "two words"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        ASSERT_TRUE(program.Start({}, row.firstArguments));
        if (row.minimise) {
            ShowWindow(program.MainWindow(), SW_MINIMIZE);
            ASSERT_TRUE(WaitFor([&] { return IsIconic(program.MainWindow()) != 0; }, 5000));
        }
        foreign.Activate();
        program.Settle(300);

        Start later(program.Folder(), "MIDIKeyboard.exe", row.laterArguments);
        ASSERT_TRUE(later.Launched());
        EXPECT_TRUE(later.WaitForEnd(StartTimeoutMs));
        EXPECT_FALSE(later.ShowedWindow());
        EXPECT_EQ(later.ExitCode(), 0);

        EXPECT_TRUE(InFront(program.MainWindow()));
        EXPECT_TRUE(program.Running());
        EXPECT_TRUE(StillPlays());
        EXPECT_EQ(program.Close(), 0);
    }
}

// The running copy's settings are the ones that count, and it may hold a port that admits
// one user: a later start opens no port, shows no box and writes no setting.
TEST_F(SingleInstance, ALaterStartHandsOverBeforeItTouchesThePortOrTheSettings) {
    ASSERT_TRUE(program.Start());
    e2e::ForgetSettings(); // whatever the later start wrote would show
    const fs::path laterLog = fs::path(program.Folder()) / "later.log";
    SetEnvironmentVariableA("FAKEMIDI_OPEN_FAIL", "all");
    Start later(program.Folder(), "MIDIKeyboard.exe", "");
    SetEnvironmentVariableA("FAKEMIDI_OPEN_FAIL", nullptr);
    ASSERT_TRUE(later.Launched());
    EXPECT_TRUE(later.WaitForEndWithoutBox(StartTimeoutMs));
    EXPECT_EQ(later.ExitCode(), 0);
    EXPECT_FALSE(fs::exists(laterLog)) << "the later start called the MIDI library";
    EXPECT_EQ(e2e::StoredSetting("Width"), "<missing>");
    EXPECT_TRUE(program.Running());
}

// The file system finds a file whatever the letter case of its name: so do the copies.
TEST_F(SingleInstance, AStartUnderTheNameInAnotherLetterCaseHandsOver) {
    const fs::path elsewhere = fs::path(program.Folder()) / "Elsewhere";
    fs::create_directories(elsewhere);
    fs::copy_file(fs::path(program.Folder()) / "MIDIKeyboard.exe", elsewhere / "MIDIKEYBOARD.EXE");
    struct Row {
        const char* what;
        std::string folder;
        const char* exeName;
    };
    const Row rows[] = {
        {"the same file, named in lower case", program.Folder(), "midikeyboard.exe"},
        {"a copy in another folder, named in upper case", elsewhere.string(), "MIDIKEYBOARD.EXE"},
    };
    ASSERT_TRUE(program.Start());
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        foreign.Activate();
        program.Settle(300);
        Start later(row.folder, row.exeName, "");
        ASSERT_TRUE(later.Launched());
        EXPECT_TRUE(later.WaitForEndWithoutBox(StartTimeoutMs));
        EXPECT_FALSE(later.ShowedWindow());
        EXPECT_EQ(later.ExitCode(), 0);
        EXPECT_TRUE(InFront(program.MainWindow()));
    }
}

// The main window is disabled while the settings dialog is open: the dialog comes forward,
// also when the window comes back out of the tray.
TEST_F(SingleInstance, ALaterStartBringsTheOpenSettingsDialogForward) {
    ASSERT_TRUE(program.Start());
    HWND window = program.MainWindow();
    SetForegroundWindow(window);
    program.Settle(300);
    e2e::Tap(VK_F9);
    HWND dialog = nullptr;
    ASSERT_TRUE(WaitFor([&] { return (dialog = SettingsDialogOf(program.ProcessId())); }));
    PostMessageA(window, WM_SYSCOMMAND, SC_MINIMIZE, 0);
    ASSERT_TRUE(WaitFor([&] { return !IsWindowVisible(window); }));
    foreign.Activate();
    program.Settle(300);

    Start later(program.Folder(), "MIDIKeyboard.exe", "");
    EXPECT_TRUE(later.WaitForEndWithoutBox(StartTimeoutMs));
    EXPECT_TRUE(WaitFor([&] { return GetForegroundWindow() == dialog; }, 15000));
    EXPECT_TRUE(IsWindowVisible(window));
    PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
}

TEST_F(SingleInstance, TwentyStartsAtOnceAllEndUnseenAndTheFirstKeepsRunning) {
    ASSERT_TRUE(program.Start());
    std::vector<std::unique_ptr<Start>> starts;
    for (int i = 0; i < 20; ++i)
        starts.push_back(std::make_unique<Start>(program.Folder(), "MIDIKeyboard.exe",
                                                 "start" + std::to_string(i)));
    const bool allEnded = WaitFor(
        [&] {
            bool all = true;
            for (auto& start : starts) all = start->Watch() && all;
            return all;
        },
        240000);
    EXPECT_TRUE(allEnded);
    for (auto& start : starts) {
        EXPECT_TRUE(start->Launched());
        EXPECT_FALSE(start->Running());
        EXPECT_FALSE(start->ShowedWindow());
        EXPECT_EQ(start->ExitCode(), 0);
    }
    EXPECT_TRUE(program.Running());
    EXPECT_TRUE(IsWindowVisible(program.MainWindow()));
    EXPECT_TRUE(StillPlays());
}

TEST_F(SingleInstance, ACopyThatDoesNotAnswerIsReplacedAfterTheWaitByTheNextStart) {
    ASSERT_TRUE(program.Start());
    e2e::StoppedThread hung(program.MainWindow());
    ASSERT_TRUE(hung.Holds());

    Start replacement(program.Folder(), "MIDIKeyboard.exe", "");
    ASSERT_TRUE(WaitFor([&] { return replacement.Window() != nullptr; }, StartTimeoutMs));
    // Not before the running copy had its ten seconds to answer.
    EXPECT_GE(replacement.SecondsSinceLaunch(), 10);
    // It runs as a first instance, so it starts the watch and finds the library still
    // held by the stopped copy.
    ASSERT_TRUE(WaitFor([&] { return replacement.MessageBox() != nullptr; }, StartTimeoutMs));
    EXPECT_NE(BoxText(replacement.MessageBox()).find("already uses vivuvav.dll"),
              std::string::npos);

    // It is the one later starts now call, also while its message box is up.
    Start third(program.Folder(), "MIDIKeyboard.exe", "");
    EXPECT_TRUE(third.WaitForEnd(StartTimeoutMs));
    EXPECT_FALSE(third.ShowedWindow());
    EXPECT_TRUE(replacement.Running());

    Dismiss(replacement.MessageBox());
    EXPECT_TRUE(replacement.WaitForEnd(StartTimeoutMs));
    hung.Resume();
    EXPECT_TRUE(program.Running());
}

TEST_F(SingleInstance, CopiesUnderDifferentFileNamesDoNotSeeEachOther) {
    ASSERT_TRUE(program.Start());
    fs::copy_file(fs::path(program.Folder()) / "MIDIKeyboard.exe",
                  fs::path(program.Folder()) / "Zevaver Keys.exe",
                  fs::copy_options::overwrite_existing);
    foreign.Activate();

    Start other(program.Folder(), "Zevaver Keys.exe", "");
    // A first instance of its own: it shows its window and starts its watch, which finds
    // the library in use by the other copy.
    ASSERT_TRUE(WaitFor([&] { return other.Window() && other.MessageBox(); }, StartTimeoutMs));
    EXPECT_TRUE(program.Running());
    Dismiss(other.MessageBox());
    EXPECT_TRUE(other.WaitForEnd(StartTimeoutMs));
}

TEST_F(SingleInstance, ASemaphoreNameTakenByAnotherObjectIsReportedBeforeTheProgramEnds) {
    fw::KernelHandle squatter(CreateMutexA(nullptr, FALSE, "MIDIKeyboard.exeSem"));
    ASSERT_TRUE(squatter);
    Start start(program.Folder(), "MIDIKeyboard.exe", "");
    ASSERT_TRUE(WaitFor([&] { return start.MessageBox() != nullptr; }, StartTimeoutMs));
    char caption[64] = {};
    GetWindowTextA(start.MessageBox(), caption, sizeof caption);
    EXPECT_STREQ(caption, "Error");
    EXPECT_EQ(BoxText(start.MessageBox()), "Unable to create semaphore");
    EXPECT_FALSE(start.Window());
    Dismiss(start.MessageBox());
    EXPECT_TRUE(start.WaitForEnd(StartTimeoutMs));
    EXPECT_FALSE(start.ShowedWindow());
    EXPECT_EQ(start.ExitCode(), 1);
}

} // namespace

} // namespace zevaver

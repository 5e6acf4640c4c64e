// The hook library and its opening: one receiver registration shared by every process,
// kinds of watching switched on and off, delivery by the holder only; the component
// loading the library, its failures with their messages, the takeover from another
// process, and the calls made when watching stops.
#include "mainwindow/win/WatchReport.h"
#include "WatchTestSupport.h"

#include <tuple>

namespace zevaver {

using namespace watchtest;

namespace {

const std::string NotFound = "Library vivuvav.dll not found.";
const std::string NotValid = "Library vivuvav.dll is not valid.";
const std::string InUse =
    "Another application already uses vivuvav.dll.\r\nTry restarting the program.";
const std::string CannotOverride = "Unable to override.\r\nSystem watching is disabled.";

// watch_peer.exe in a process of its own, in "hold" or "count" mode; ended when it goes.
class PeerProcess {
public:
    // Starts the peer and waits until it has registered its receiver or ended.
    explicit PeerProcess(const char* mode) {
        const HookLibrary library(RealLibraryPath());
        std::string commandLine = '"' + TestFolder() + "watch_peer.exe\" " + mode;
        STARTUPINFOA startup{sizeof(startup)};
        PROCESS_INFORMATION info{};
        if (!CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                            nullptr, &startup, &info))
            return;
        process_.reset(info.hProcess);
        CloseHandle(info.hThread);
        for (int round = 0; round < 3000; ++round) {
            DWORD owner = 0;
            GetWindowThreadProcessId(library.GetReceiver(), &owner);
            registered_ = owner == info.dwProcessId;
            if (registered_ || WaitForSingleObject(process_.get(), 10) == WAIT_OBJECT_0) return;
        }
    }
    ~PeerProcess() { Kill(); }

    [[nodiscard]] bool Registered() const noexcept { return registered_; }
    // The exit code once the peer has ended by itself; -1 if it will not.
    int AwaitExit() {
        DWORD code = static_cast<DWORD>(-1);
        if (WaitForSingleObject(process_.get(), 30000) == WAIT_OBJECT_0)
            GetExitCodeProcess(process_.get(), &code);
        Kill();
        return static_cast<int>(code);
    }
    // Ends the peer as a crash would.
    void Kill() {
        TerminateProcess(process_.get(), 99);
        WaitForSingleObject(process_.get(), 30000);
    }

private:
    fw::KernelHandle process_;
    bool registered_ = false;
};

using HookLibraryContract = WatchTest;

TEST_F(HookLibraryContract, StillWatchingWhileAnyKnownKindIsOn) {
    enum Action { Start, Stop, All };
    const std::tuple<Action, int, bool> steps[] = {
        {Start, 1, true}, {Start, 2, true},  {Stop, 2, true},   {Stop, 2, true},
        {Start, 1, true}, {Stop, 1, false},  {Start, 3, true},  {Start, 2, true},
        {All, 0, false},  {Start, 0, false}, {Start, 4, false}, {Start, -1, false},
    };
    EXPECT_FALSE(real_.StillWatching());
    for (size_t i = 0; i < std::size(steps); ++i) {
        const auto [action, kind, stillAfter] = steps[i];
        if (action == Start) real_.StartWatching(kind);
        if (action == Stop) real_.StopWatching(kind);
        if (action == All) real_.StopAll();
        EXPECT_EQ(real_.StillWatching(), stillAfter) << "step " << i;
    }
}

TEST_F(HookLibraryContract, KeepsOneRegistrationAcrossProcessesUntilClearedOrItsWindowIsGone) {
    fw::Window mine = MakeTopLevelWindow("mine");
    ASSERT_TRUE(real_.SetReceiver(mine.get()));
    EXPECT_TRUE(real_.SetReceiver(mine.get())) << "the holder again";
    PeerProcess refused("hold");
    EXPECT_FALSE(refused.Registered());
    EXPECT_EQ(refused.AwaitExit(), 100);
    EXPECT_EQ(real_.GetReceiver(), mine.get());

    ASSERT_TRUE(real_.SetReceiver(nullptr));
    EXPECT_EQ(real_.GetReceiver(), nullptr);
    PeerProcess peer("hold");
    ASSERT_TRUE(peer.Registered());
    EXPECT_FALSE(real_.SetReceiver(mine.get()));
    peer.Kill();
    EXPECT_TRUE(real_.SetReceiver(mine.get()));
    EXPECT_EQ(real_.GetReceiver(), mine.get());
}

TEST_F(HookLibraryContract, OnlyTheProcessHoldingTheReceiverDeliversAKeystroke) {
    // This process watches the keyboard too, but the receiver belongs to the peer.
    real_.StartWatching(watch::KindKeyboard);
    PeerProcess peer("count");
    ASSERT_TRUE(peer.Registered());
    // Both processes' hooks have seen "A" before either sees "B", so a duplicate would
    // already be queued at the peer when it reads the release of "B" and stops counting.
    for (auto [key, scan] : {std::pair<WORD, WORD>{'A', 0x1E}, {'B', 0x30}}) {
        SendKey(key, scan, 0);
        SendKey(key, scan, KEYEVENTF_KEYUP);
    }
    EXPECT_EQ(peer.AwaitExit(), 2);
}

using WatchOpening = WatchTest;

TEST_F(WatchOpening, LoadsTheLibraryBesideTheProgramAndLetsItGoWhenNothingIsWatched) {
    EXPECT_EQ(TWatch::DefaultLibraryPath(), RealLibraryPath());
    watch_.StartWatching(1);
    ASSERT_TRUE(watch_.LibraryLoaded());
    EXPECT_EQ(real_.GetReceiver(), watch_.ReceiverWindow());
    EXPECT_TRUE(shownBoxes.empty());
    EXPECT_FALSE(fw::TerminationRequested());
    watch_.StopWatching(1);
    EXPECT_FALSE(watch_.LibraryLoaded());
    EXPECT_EQ(real_.GetReceiver(), nullptr);
    EXPECT_FALSE(real_.StillWatching());
}

TEST_F(WatchOpening, AMissingOrIncompleteLibraryIsReportedOnceUnloadedAndEndsTheProgram) {
    std::vector<std::pair<std::string, std::string>> cases = {
        {TestFolder() + "absent\\vivuvav.dll", NotFound}};
    for (const char* missing : {"StartWatching", "StopWatching", "StillWatching", "StopAll",
                                "SetReceiver", "GetReceiver"})
        cases.emplace_back(TestFolder() + "lacking_" + missing + "\\vivuvav.dll", NotValid);
    for (const auto& [path, message] : cases) {
        SCOPED_TRACE(path);
        ForgetBoxesAndTermination();
        TWatch watch;
        watch.SetLibraryPath(path);
        ReportWatchStatus(watch.StartWatching(1));
        ReportWatchStatus(watch.StartWatching(2));
        watch.StopWatching(2);
        EXPECT_EQ(shownBoxes, Events{message});
        EXPECT_TRUE(fw::TerminationRequested());
        EXPECT_TRUE(watch.Disabled());
        EXPECT_FALSE(watch.LibraryLoaded());
        EXPECT_EQ(watch.ReceiverWindow(), nullptr);
        EXPECT_EQ(GetModuleHandleA(path.c_str()), nullptr);
        // Whatever it registered has gone with its window and blocks nobody.
        EXPECT_FALSE(IsWindow(real_.GetReceiver()));
    }
}

TEST_F(WatchOpening, TakesTheReceiverFromAnotherProcessAsksToEndAndLeavesTheLibraryFree) {
    PeerProcess peer("hold");
    ASSERT_TRUE(peer.Registered());
    {
        TWatch watch;
        ReportWatchStatus(watch.StartWatching(1));
        ReportWatchStatus(watch.StartWatching(2));
        EXPECT_EQ(shownBoxes, Events{InUse});
        EXPECT_TRUE(fw::TerminationRequested());
        EXPECT_FALSE(watch.Disabled());
        EXPECT_EQ(real_.GetReceiver(), watch.ReceiverWindow());
    }
    EXPECT_EQ(real_.GetReceiver(), nullptr);
    EXPECT_FALSE(real_.StillWatching());
}

// watch_ on the stand-in library, which answers as scripted and logs the calls it gets.
class ScriptedWatch : public WatchTest {
protected:
    void SetUp() override {
        WatchTest::SetUp();
        ASSERT_TRUE(scripted_.Loaded());
        Reset(0);
        watch_.SetLibraryPath(ScriptedLibraryPath());
    }
    // Clears the log; the next `refusals` registrations of a window fail.
    void Reset(int refusals) const { scripted_.Entry<void(WINAPI*)(int)>("ScriptReset")(refusals); }
    // What StillWatching answers, and who holds the registration now.
    void Answer(BOOL still, HWND holder) const {
        scripted_.Entry<void(WINAPI*)(BOOL, HWND)>("ScriptAnswer")(still, holder);
    }
    [[nodiscard]] std::string Log() const {
        return scripted_.Entry<const char*(WINAPI*)()>("ScriptLog")();
    }

    HookLibrary scripted_{ScriptedLibraryPath()};
};

TEST_F(ScriptedWatch, ARefusedTakeoverShowsBothMessagesAndDisablesWatching) {
    Reset(2);
    ReportWatchStatus(watch_.StartWatching(1));
    ReportWatchStatus(watch_.StartWatching(2));
    EXPECT_EQ(shownBoxes, (Events{InUse, CannotOverride}));
    EXPECT_TRUE(fw::TerminationRequested());
    EXPECT_TRUE(watch_.Disabled());
    EXPECT_FALSE(watch_.LibraryLoaded());
    EXPECT_EQ(Log(), "SetReceiver(window) SetReceiver(0) SetReceiver(window) GetReceiver");
}

TEST_F(ScriptedWatch, StopsInTheOrderGivenAndReleasesOnceNothingIsWatched) {
    watch_.StopWatching(1); // before any start: nothing at all
    watch_.StartWatching(1);
    watch_.StartWatching(2);
    watch_.StopWatching(2);
    EXPECT_TRUE(watch_.LibraryLoaded());
    Answer(FALSE, watch_.ReceiverWindow());
    watch_.StopWatching(1);
    EXPECT_FALSE(watch_.LibraryLoaded());
    EXPECT_EQ(Log(), "SetReceiver(window) StartWatching(1) StartWatching(2) StopWatching(2) "
                     "StillWatching StopWatching(1) StillWatching GetReceiver SetReceiver(0) "
                     "StopAll");
    EXPECT_TRUE(shownBoxes.empty());
}

TEST_F(ScriptedWatch, ReleaseLeavesTheRegistrationAloneOnceAnotherProgramHasTakenIt) {
    fw::Window other = MakeTopLevelWindow("other program");
    watch_.StartWatching(1);
    Answer(FALSE, other.get());
    watch_.StopWatching(1);
    EXPECT_FALSE(watch_.LibraryLoaded());
    EXPECT_EQ(Log(), "SetReceiver(window) StartWatching(1) StopWatching(1) StillWatching "
                     "GetReceiver");
}

} // namespace

} // namespace zevaver

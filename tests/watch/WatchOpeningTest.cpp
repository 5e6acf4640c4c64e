// Opening and releasing the hook library: the normal case, the four failures with their
// messages, the takeover from another process, and the calls made when watching stops.
#include "WatchTestSupport.h"

#include "framework/win/Application.h"
#include "services/win/Watch.h"

#include <gtest/gtest.h>

using namespace watchtest;
using Texts = std::vector<std::string>;

namespace {

const std::string NotFound = "Library vivuvav.dll not found.";
const std::string NotValid = "Library vivuvav.dll is not valid.";
const std::string InUse =
    "Another application already uses vivuvav.dll.\r\nTry restarting the program.";
const std::string CannotOverride = "Unable to override.\r\nSystem watching is disabled.";

class WatchOpening : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(real_.Loaded());
        Clean();
    }
    void TearDown() override { Clean(); }
    void Clean() {
        real_.StopAll();
        (void)real_.SetReceiver(nullptr);
    }

    HookLibrary real_{RealLibraryPath()};
    MessageBoxCapture boxes_;
};

TEST_F(WatchOpening, RegistersTheThreeMessageNamesWithoutLoadingAnything) {
    TWatch watch;
    EXPECT_EQ(watch.ShellMessage(), RegisterWindowMessageA("WATCH_SHELL_EVENT"));
    EXPECT_EQ(watch.KeyMessage(), RegisterWindowMessageA("WATCH_KEY_EVENT"));
    EXPECT_EQ(watch.MouseMessage(), RegisterWindowMessageA("WATCH_MOUSE_EVENT"));
    EXPECT_FALSE(watch.LibraryLoaded());
    EXPECT_EQ(watch.ReceiverWindow(), nullptr);
    EXPECT_FALSE(watch.NotifyOwnEvents);
    EXPECT_FALSE(watch.RepeatedEvents);
}

TEST_F(WatchOpening, LoadsTheLibraryBesideTheProgramAndRegistersItsReceiver) {
    EXPECT_EQ(TWatch::DefaultLibraryPath(), RealLibraryPath());
    TWatch watch;
    watch.StartWatching(1);
    ASSERT_TRUE(watch.LibraryLoaded());
    EXPECT_NE(watch.ReceiverWindow(), nullptr);
    EXPECT_FALSE(IsWindowVisible(watch.ReceiverWindow()));
    EXPECT_EQ(real_.GetReceiver(), watch.ReceiverWindow());
    EXPECT_TRUE(real_.StillWatching());
    EXPECT_TRUE(boxes_.Shown().empty());
    EXPECT_FALSE(fw::TerminationRequested());
    EXPECT_FALSE(watch.Disabled());
}

TEST_F(WatchOpening, StopsWatchingKindByKindAndReleasesAfterTheLast) {
    TWatch watch;
    watch.StartWatching(1);
    watch.StartWatching(2);
    watch.StopWatching(2);
    EXPECT_TRUE(watch.LibraryLoaded()) << "the keyboard is still watched";
    EXPECT_TRUE(real_.StillWatching());
    watch.StopWatching(1);
    EXPECT_FALSE(watch.LibraryLoaded());
    EXPECT_EQ(watch.ReceiverWindow(), nullptr);
    EXPECT_EQ(real_.GetReceiver(), nullptr) << "the next start finds the library free";
    EXPECT_FALSE(real_.StillWatching());
}

TEST_F(WatchOpening, AMissingLibraryIsReportedOnceAndEndsTheProgram) {
    TWatch watch;
    watch.SetLibraryPath(TestFolder() + "absent\\vivuvav.dll");
    watch.StartWatching(1);
    watch.StartWatching(2);
    watch.StopWatching(2);
    EXPECT_EQ(boxes_.Texts(), Texts{NotFound});
    ASSERT_EQ(boxes_.Shown().size(), 1u);
    EXPECT_EQ(boxes_.Shown()[0].caption, "Error");
    EXPECT_EQ(boxes_.Shown()[0].type, static_cast<UINT>(MB_OK | MB_ICONERROR));
    EXPECT_TRUE(fw::TerminationRequested());
    EXPECT_TRUE(watch.Disabled());
    EXPECT_FALSE(watch.LibraryLoaded());
    EXPECT_EQ(watch.ReceiverWindow(), nullptr);
}

class LackingExport : public WatchOpening, public testing::WithParamInterface<const char*> {};

TEST_P(LackingExport, IsReportedOnceAsNotValidUnloadedAndEndsTheProgram) {
    const std::string path = LackingLibraryPath(GetParam());
    {
        TWatch watch;
        watch.SetLibraryPath(path);
        watch.StartWatching(1);
        watch.StartWatching(2);
        EXPECT_EQ(boxes_.Texts(), Texts{NotValid});
        EXPECT_TRUE(fw::TerminationRequested());
        EXPECT_TRUE(watch.Disabled());
        EXPECT_FALSE(watch.LibraryLoaded());
        EXPECT_EQ(watch.ReceiverWindow(), nullptr);
        EXPECT_EQ(GetModuleHandleA(path.c_str()), nullptr);
    }
    // Whatever it registered has gone with its window and blocks nobody.
    const HWND left = real_.GetReceiver();
    EXPECT_TRUE(left == nullptr || !IsWindow(left));
}

INSTANTIATE_TEST_SUITE_P(EachExport, LackingExport,
                         testing::Values("StartWatching", "StopWatching", "StillWatching",
                                         "StopAll", "SetReceiver", "GetReceiver"),
                         [](const testing::TestParamInfo<const char*>& info) {
                             return std::string(info.param);
                         });

TEST_F(WatchOpening, TakesTheReceiverFromAnotherProcessEndsAndLeavesTheLibraryFree) {
    PeerProcess peer("hold");
    ASSERT_TRUE(peer.Ready());
    {
        TWatch watch;
        watch.StartWatching(1);
        watch.StartWatching(2);
        EXPECT_EQ(boxes_.Texts(), Texts{InUse});
        EXPECT_TRUE(fw::TerminationRequested());
        EXPECT_FALSE(watch.Disabled());
        EXPECT_TRUE(watch.LibraryLoaded());
        EXPECT_EQ(real_.GetReceiver(), watch.ReceiverWindow());
    }
    EXPECT_EQ(real_.GetReceiver(), nullptr);
    EXPECT_FALSE(real_.StillWatching());

    boxes_.Clear();
    fw::ClearTerminationRequest();
    TWatch restarted;
    restarted.StartWatching(1);
    EXPECT_TRUE(boxes_.Shown().empty());
    EXPECT_FALSE(fw::TerminationRequested());
    EXPECT_EQ(real_.GetReceiver(), restarted.ReceiverWindow());
}

// A stand-in library that answers as scripted and logs every call.
class ScriptedWatch : public WatchOpening {
protected:
    void SetUp() override {
        WatchOpening::SetUp();
        ASSERT_TRUE(scripted_.Loaded());
        reset_ = scripted_.Entry<void(WINAPI*)(int, BOOL)>("ScriptReset");
        setStill_ = scripted_.Entry<void(WINAPI*)(BOOL)>("ScriptSetStillWatching");
        hold_ = scripted_.Entry<void(WINAPI*)(HWND)>("ScriptHold");
        log_ = scripted_.Entry<const char*(WINAPI*)()>("ScriptLog");
        ASSERT_TRUE(reset_ && setStill_ && hold_ && log_);
        reset_(0, TRUE);
        watch_.SetLibraryPath(ScriptedLibraryPath());
    }
    [[nodiscard]] std::string Log() const { return log_(); }

    HookLibrary scripted_{ScriptedLibraryPath()};
    void(WINAPI* reset_)(int, BOOL) = nullptr;
    void(WINAPI* setStill_)(BOOL) = nullptr;
    void(WINAPI* hold_)(HWND) = nullptr;
    const char*(WINAPI* log_)() = nullptr;
    TWatch watch_;
};

TEST_F(ScriptedWatch, ARefusedTakeoverShowsBothMessagesAndDisablesWatching) {
    reset_(2, TRUE);
    watch_.StartWatching(1);
    watch_.StartWatching(2);
    EXPECT_EQ(boxes_.Texts(), (Texts{InUse, CannotOverride}));
    EXPECT_TRUE(fw::TerminationRequested());
    EXPECT_TRUE(watch_.Disabled());
    EXPECT_FALSE(watch_.LibraryLoaded());
    EXPECT_EQ(Log(), "SetReceiver(window) SetReceiver(0) SetReceiver(window) GetReceiver");
}

TEST_F(ScriptedWatch, StopsInTheOrderGivenAndReleasesOnceNothingIsWatched) {
    watch_.StartWatching(1);
    watch_.StartWatching(2);
    watch_.StopWatching(2);
    EXPECT_TRUE(watch_.LibraryLoaded());
    setStill_(FALSE);
    watch_.StopWatching(1);
    EXPECT_FALSE(watch_.LibraryLoaded());
    EXPECT_EQ(Log(), "SetReceiver(window) StartWatching(1) StartWatching(2) StopWatching(2) "
                     "StillWatching StopWatching(1) StillWatching GetReceiver SetReceiver(0) "
                     "StopAll");
    EXPECT_TRUE(boxes_.Shown().empty());
}

TEST_F(ScriptedWatch, ReleaseLeavesTheLibraryAloneWhenAnotherProgramHasTakenTheReceiver) {
    fw::Window other = MakeTopLevelWindow("other program");
    watch_.StartWatching(1);
    hold_(other.get());
    setStill_(FALSE);
    watch_.StopWatching(1);
    EXPECT_FALSE(watch_.LibraryLoaded());
    EXPECT_EQ(Log(), "SetReceiver(window) StartWatching(1) StopWatching(1) StillWatching "
                     "GetReceiver");
}

TEST_F(ScriptedWatch, StopWatchingBeforeAnyStartDoesNothing) {
    watch_.StopWatching(1);
    EXPECT_EQ(Log(), "");
    EXPECT_FALSE(watch_.LibraryLoaded());
    EXPECT_FALSE(watch_.Disabled());
    EXPECT_TRUE(boxes_.Shown().empty());
}

} // namespace

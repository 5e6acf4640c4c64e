// The hook library's own contract, called directly: one receiver registration shared by
// every process, kinds of watching switched on and off, and delivery by the holder only.
#include "WatchTestSupport.h"

#include "services/WatchEvents.h"

#include <gtest/gtest.h>

using namespace watchtest;

namespace {

class HookLibraryContract : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(library_.Loaded());
        Clean();
    }
    void TearDown() override { Clean(); }
    void Clean() {
        library_.StopAll();
        (void)library_.SetReceiver(nullptr);
    }

    HookLibrary library_{RealLibraryPath()};
};

TEST_F(HookLibraryContract, KeepsOneReceiverUntilItIsCleared) {
    fw::Window first = MakeTopLevelWindow("first");
    fw::Window second = MakeTopLevelWindow("second");
    struct Step {
        HWND window;
        bool accepted;
        HWND registeredAfter;
    };
    const Step steps[] = {
        {first.get(), true, first.get()},   {first.get(), true, first.get()},
        {second.get(), false, first.get()}, {nullptr, true, nullptr},
        {nullptr, true, nullptr},           {second.get(), true, second.get()},
        {first.get(), false, second.get()}, {nullptr, true, nullptr},
    };
    int index = 0;
    for (const Step& step : steps) {
        EXPECT_EQ(library_.SetReceiver(step.window), step.accepted) << "step " << index;
        EXPECT_EQ(library_.GetReceiver(), step.registeredAfter) << "step " << index;
        ++index;
    }
}

TEST_F(HookLibraryContract, AReceiverWhoseWindowIsGoneNoLongerBlocksOthers) {
    fw::Window holder = MakeTopLevelWindow("holder");
    fw::Window next = MakeTopLevelWindow("next");
    ASSERT_TRUE(library_.SetReceiver(holder.get()));
    holder.reset();
    EXPECT_TRUE(library_.SetReceiver(next.get()));
    EXPECT_EQ(library_.GetReceiver(), next.get());
}

TEST_F(HookLibraryContract, StillWatchingWhileAnyKindIsOn) {
    enum Action { Start, Stop, All };
    struct Step {
        Action action;
        int kind;
        bool stillAfter;
    };
    const Step steps[] = {
        {Start, 1, true},   {Start, 2, true}, {Stop, 2, true},   {Stop, 2, true},
        {Start, 1, true},   {Stop, 1, false}, {Stop, 1, false},  {Start, 3, true},
        {Start, 2, true},   {All, 0, false},  {Start, 0, false}, {Start, 4, false},
        {Start, -1, false}, {Stop, 3, false},
    };
    EXPECT_FALSE(library_.StillWatching());
    int index = 0;
    for (const Step& step : steps) {
        if (step.action == Start) library_.StartWatching(step.kind);
        if (step.action == Stop) library_.StopWatching(step.kind);
        if (step.action == All) library_.StopAll();
        EXPECT_EQ(library_.StillWatching(), step.stillAfter) << "step " << index;
        ++index;
    }
}

TEST_F(HookLibraryContract, AnotherProcessesRegistrationIsSeenHereAndLapsesWhenItDies) {
    fw::Window mine = MakeTopLevelWindow("mine");
    PeerProcess peer("hold");
    ASSERT_TRUE(peer.Ready());
    const HWND theirs = library_.GetReceiver();
    ASSERT_NE(theirs, nullptr);
    DWORD owner = 0;
    GetWindowThreadProcessId(theirs, &owner);
    EXPECT_NE(owner, GetCurrentProcessId());
    EXPECT_FALSE(library_.SetReceiver(mine.get()));

    peer.Kill();
    EXPECT_TRUE(library_.SetReceiver(mine.get()));
    EXPECT_EQ(library_.GetReceiver(), mine.get());
}

TEST_F(HookLibraryContract, AnotherProcessIsRefusedWhileThisOneHolds) {
    fw::Window mine = MakeTopLevelWindow("mine");
    ASSERT_TRUE(library_.SetReceiver(mine.get()));
    PeerProcess peer("hold");
    EXPECT_FALSE(peer.Ready());
    EXPECT_EQ(peer.AwaitExit(), 100);
    EXPECT_EQ(library_.GetReceiver(), mine.get());
}

void SendKey(WORD key, WORD scan, bool up) {
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = key;
    input.ki.wScan = scan;
    input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
    SendInput(1, &input, sizeof(input));
}

TEST_F(HookLibraryContract, OnlyTheProcessHoldingTheReceiverDeliversAKeystroke) {
    // This process watches the keyboard too, but the receiver belongs to the peer.
    library_.StartWatching(watch::KindKeyboard);
    PeerProcess peer("count");
    ASSERT_TRUE(peer.Ready());
    SendKey('A', 0x1E, false);
    SendKey('A', 0x1E, true);
    // Both processes' hooks have seen "A" before either sees "B", so a duplicate would
    // already be queued at the peer when it reads the release of "B" and stops counting.
    SendKey('B', 0x30, false);
    SendKey('B', 0x30, true);
    EXPECT_EQ(peer.AwaitExit(), 2);
}

} // namespace

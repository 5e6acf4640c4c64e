#include "services/HookWatchdog.h"

#include <gtest/gtest.h>

namespace zevaver {

namespace {

constexpr uint32_t Settle = HookWatchdog::SettleMs;

class HookWatchdogTest : public ::testing::Test {
protected:
    // A keystroke both see: the hook before raw input (as on Windows) or after (as in Wine).
    void Both(uint32_t key, bool hookFirst) {
        if (hookFirst) hook.Count(key);
        EXPECT_EQ(watchdog.RawKey(key, now), !hookFirst) << "a check only where one is due";
        if (!hookFirst) hook.Count(key);
    }

    HookTally hook;
    HookWatchdog watchdog{hook};
    uint32_t now = 1000;
};

TEST_F(HookWatchdogTest, KeysTheHookSawTooAreNoNewsWhicheverCameFirst) {
    Both('Z', true);
    Both('Z', false);
    EXPECT_TRUE(watchdog.RawKey('X', now));
    EXPECT_EQ(watchdog.NextCheckIn(now), Settle);
    EXPECT_FALSE(watchdog.Check(now + Settle - 1)) << "X may still reach the hook";
    hook.Count('X');
    EXPECT_FALSE(watchdog.Check(now + Settle));
    EXPECT_EQ(watchdog.NextCheckIn(now + Settle), std::nullopt) << "nothing waits: no timer";
}

// The hook dropped while Z was held: its release reaches only raw input.
TEST_F(HookWatchdogTest, AKeystrokeOnlyRawInputSawIsReportedOnceTheKeyIsQuiet) {
    Both('Z', true);
    (void)watchdog.RawKey('Z', now + 10);
    (void)watchdog.RawKey('X', now + 40);
    EXPECT_EQ(watchdog.NextCheckIn(now + 40), Settle - 30);
    EXPECT_TRUE(watchdog.Check(now + 10 + Settle)) << "Z is quiet; X waits";
    EXPECT_EQ(watchdog.NextCheckIn(now + 10 + Settle), 30u);
    EXPECT_TRUE(watchdog.Check(now + 40 + Settle)) << "X, which the hook never saw";
    // A full tap unseen changes no state, but the counts still tell.
    (void)watchdog.RawKey('C', now + 100);
    (void)watchdog.RawKey('C', now + 110);
    EXPECT_TRUE(watchdog.Check(now + 110 + Settle));
}

TEST_F(HookWatchdogTest, AKeyOnlyOneSideSeesByDesignIsReportedOnlyOnce) {
    (void)watchdog.RawKey('A', now); // typed into a program the hook may not watch
    EXPECT_TRUE(watchdog.Check(now + Settle));
    Both('A', true);
    EXPECT_FALSE(watchdog.Check(now + 2 * Settle)) << "a new baseline";
    hook.Count('B'); // the hook sees more than raw input: never a loss
    (void)watchdog.RawKey('B', now);
    hook.Count('B');
    EXPECT_FALSE(watchdog.Check(now + Settle));
}

TEST_F(HookWatchdogTest, SidedModifiersCountAsTheHookReportsThemAndNoKeysDoNotCount) {
    hook.Count(0x10);
    (void)watchdog.RawKey(0xA1, now); // right Shift
    hook.Count(0x11);
    (void)watchdog.RawKey(0xA2, now); // left Ctrl
    (void)watchdog.RawKey(0xFF, now); // a keyboard's fake Shift
    (void)watchdog.RawKey(0, now);
    EXPECT_FALSE(watchdog.Check(now + Settle));
}

TEST(HookWatchdogUnseenInput, InputNewerThanTheHooksLastReportByMoreThanASecondWasMissed) {
    EXPECT_FALSE(HookWatchdog::InputUnseen(5000, 4000));
    EXPECT_TRUE(HookWatchdog::InputUnseen(5001, 4000));
    EXPECT_FALSE(HookWatchdog::InputUnseen(4000, 5000)) << "seen since";
    EXPECT_TRUE(HookWatchdog::InputUnseen(1000, 0xFFFFFF00u)) << "across the clock's wrap";
}

} // namespace

} // namespace zevaver

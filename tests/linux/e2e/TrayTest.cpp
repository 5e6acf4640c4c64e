// The Linux program's tray icon under a session bus of the tests' own, with a status
// notifier watcher standing in for the panel: the icon appears for "Minimize" and for a start
// in the background, follows "Enabled", blinks on a note, and its menu and its middle click
// bring the window back.
#include <gtest/gtest.h>

#include "support/ProgramRun.h"
#include "support/ProgramTest.h"
#include "support/SessionBus.h"
#include "support/XSession.h"

#include <algorithm>

namespace zevaver {

namespace {

using namespace linuxtest;

constexpr const char* Title = "Zevaver MIDI Keyboard";
constexpr const char* Enabled = "zevaver-midi-keyboard";
constexpr const char* Disabled = "zevaver-midi-keyboard-disabled";
constexpr const char* Blink = "zevaver-midi-keyboard-blink";
constexpr unsigned KeyM = 50, KeyMenu = 127;

bool Has(const std::vector<MenuEntry>& menu, const std::string& label) {
    return std::any_of(menu.begin(), menu.end(), [&](const MenuEntry& entry) {
        return entry.label == label && entry.visible;
    });
}

class LinuxTray : public ProgramTest {
protected:
    void SetUp() override {
        ProgramTest::SetUp();
        if (HasFatalFailure()) return;
        ASSERT_FALSE(bus_.Address().empty()) << "dbus-daemon did not start";
        ASSERT_TRUE(watcher_.Ready()) << "the watcher's name was not ours";
    }
    std::vector<std::string> Environment() const { return {bus_.Variable()}; }

    // "Minimize" from the window's own menu: the menu key, then its mnemonic.
    void MinimizeFromTheMenu(Window window) {
        x_.Focus(window);
        XSession::Pause(200);
        x_.Tap(KeyMenu);
        XSession::Pause(400);
        x_.Tap(KeyM);
    }
    void Chord(unsigned modifier1, unsigned modifier2, unsigned key) {
        x_.Key(modifier1, true);
        x_.Key(modifier2, true);
        x_.Tap(key);
        x_.Key(modifier2, false);
        x_.Key(modifier1, false);
    }

    SessionBus bus_;
    NotifierWatcher watcher_{bus_.Address()};
};

TEST_F(LinuxTray, MinimizeShowsTheIconWhichFollowsEnabledBlinksOnANoteAndBringsTheWindowBack) {
    TestHome home("tray");
    ProgramRun program(home, {}, Environment());
    const Window window = x_.Await(Title);
    ASSERT_NE(window, 0u);
    ASSERT_TRUE(recorder_.AwaitConnection());
    const std::optional<NotifierItem> item = watcher_.AwaitItem();
    ASSERT_TRUE(item) << "the program's item never registered";
    EXPECT_EQ(watcher_.Property(*item, "Status"), "Passive") << "no icon while the window shows";

    MinimizeFromTheMenu(window);
    EXPECT_EQ(watcher_.AwaitProperty(*item, "Status", "Active"), "Active");
    // "M" plays a note as well, typed where it may: the blink first.
    EXPECT_EQ(watcher_.AwaitProperty(*item, "IconName", Enabled), Enabled);
    EXPECT_TRUE(x_.AwaitGone(Title)) << "the window left for the tray";
    const std::vector<MenuEntry> menu = watcher_.Menu(*item);
    EXPECT_TRUE(Has(menu, "Restore"));
    EXPECT_FALSE(Has(menu, "Minimize"));
    EXPECT_FALSE(Has(menu, "Skin")) << "the tray's menu leaves the window's look out";
    EXPECT_TRUE(Has(menu, "Device"));

    // The playing switch by its shortcut, typed in another window.
    x_.FocusOwnWindow();
    Chord(KeyLeftCtrl, KeyLeftShift, KeyE);
    EXPECT_EQ(watcher_.AwaitProperty(*item, "IconName", Disabled), Disabled);
    Chord(KeyLeftCtrl, KeyLeftShift, KeyE);
    EXPECT_EQ(watcher_.AwaitProperty(*item, "IconName", Enabled), Enabled);

    // A note: the blink, and back to the idle icon a moment later.
    recorder_.Clear();
    x_.Key(KeyQ, true);
    const std::vector<std::string> seen = watcher_.WatchProperty(*item, "IconName", 700);
    x_.Key(KeyQ, false);
    EXPECT_EQ(recorder_.AwaitEvents(2).size(), 2u);
    ASSERT_GE(seen.size(), 2u) << testing::PrintToString(seen);
    EXPECT_EQ(seen[seen.size() - 2], Blink);
    EXPECT_EQ(seen.back(), Enabled);

    // The panel's middle click.
    EXPECT_TRUE(watcher_.SecondaryActivate(*item));
    EXPECT_NE(x_.Await(Title), 0u) << "the window came back";
    EXPECT_EQ(watcher_.AwaitProperty(*item, "Status", "Passive"), "Passive");
    EXPECT_EQ(program.Close(), 0);
}

TEST_F(LinuxTray, AStartInTheBackgroundSitsInTheTrayAndItsMenuBringsTheWindow) {
    TestHome home("tray-m");
    ProgramRun program(home, {"/M"}, Environment());
    const std::optional<NotifierItem> item = watcher_.AwaitItem();
    ASSERT_TRUE(item);
    EXPECT_EQ(watcher_.AwaitProperty(*item, "Status", "Active"), "Active");
    EXPECT_EQ(watcher_.Property(*item, "IconName"), Enabled);
    EXPECT_EQ(x_.Find(Title), 0u);

    EXPECT_TRUE(watcher_.Click(*item, "Restore"));
    EXPECT_NE(x_.Await(Title), 0u);
    EXPECT_EQ(watcher_.AwaitProperty(*item, "Status", "Passive"), "Passive");
    EXPECT_TRUE(Has(watcher_.Menu(*item), "Minimize"));
    EXPECT_EQ(program.Close(), 0);
}

} // namespace

} // namespace zevaver

// The icon states and their transitions, against a host that writes down every platform
// call with the time of a fake clock; the clock runs the blink timer as a window timer
// would (every interval while it runs).
#include "mainwindow/AppCore.h"
#include "mainwindow/TrayIcons.h"
#include "support/FakeAppHost.h"
#include "support/FakeFiles.h"
#include "support/FakeMidiOut.h"
#include "support/FakeRegistry.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

namespace zevaver {

namespace {

class FakeShell final : public TrayIconsHost {
public:
    int now = 0;
    std::optional<int> timerDue;
    std::vector<std::string> calls; // "time what"
    TrayIcons* icons = nullptr;

    // Lets time pass, ticking the timer when it is due.
    void Advance(int milliseconds) {
        const int end = now + milliseconds;
        while (timerDue && *timerDue <= end) {
            now = *timerDue;
            timerDue = now + TrayIcons::BlinkInterval;
            icons->BlinkTimerTimer();
        }
        now = end;
    }

    void TrayIcon(const std::string& name, TrayAction action) override {
        static const char* const verbs[] = {"add", "modify", "delete"};
        Note(std::string("tray ") + verbs[static_cast<int>(action)] +
             (name.empty() ? "" : " " + name));
    }
    void SetWindowIcon(const std::string& name) override { Note("window " + name); }
    void SetBlinkTimer(bool running) override {
        if (running && timerDue) Note("timer restarted (must not happen)");
        timerDue = running ? std::optional<int>(now + TrayIcons::BlinkInterval) : std::nullopt;
        Note(running ? "timer on" : "timer off");
    }
    void ShowApplicationWindow(bool shown) override { Note(shown ? "show" : "hide"); }
    void ShowTrayLook(bool inTray) override { Note(inTray ? "menu tray" : "menu normal"); }
    void IconBoxChanged() override {
        Note(std::string("box ") + (icons->IconBoxBlinking() ? "blink" : "idle"));
    }

private:
    void Note(const std::string& what) { calls.push_back(std::to_string(now) + " " + what); }
};

class TrayIconsTest : public ::testing::Test {
protected:
    TrayIconsTest() { shell.icons = &icons; }
    // Runs one scenario step and hands back the calls it made.
    template <typename Step> std::vector<std::string> Calls(Step step) {
        shell.calls.clear();
        step();
        return shell.calls;
    }
    using Lines = std::vector<std::string>;

    bool minimized = false;
    std::string iconName = icons::TrayEnabled;
    FakeShell shell;
    TrayIcons icons{shell, minimized, iconName};
};

TEST(WindowIconNameTest, MapsTheThreeTrayNamesExactlyAndPassesOthersThrough) {
    EXPECT_EQ(WindowIconName("TRAYICON"), "MAINICON");
    EXPECT_EQ(WindowIconName("TRAYDISABLED"), "MDISABLED");
    EXPECT_EQ(WindowIconName("TRAYBLINK"), "MBLINK");
    EXPECT_EQ(WindowIconName("trayicon"), "trayicon");
    EXPECT_EQ(WindowIconName("OTHER"), "OTHER");
    EXPECT_EQ(WindowIconName(""), "");
}

TEST_F(TrayIconsTest, TwoNotesFiftyMillisecondsApartGiveOneBlinkEndingAfterTheFirst) {
    EXPECT_EQ(Calls([&] {
                  icons.Blink();
                  shell.Advance(50);
                  icons.Blink();
                  shell.Advance(124);
              }),
              (Lines{"0 box blink", "0 window MBLINK", "0 timer on"}));
    EXPECT_EQ(icons.WindowIcon(), "MBLINK");
    EXPECT_EQ(Calls([&] { shell.Advance(1); }),
              (Lines{"175 box idle", "175 window MAINICON", "175 timer off"}));
    EXPECT_EQ(Calls([&] { shell.Advance(1000); }), Lines{}) << "no timer while idle";
    EXPECT_FALSE(icons.BlinkTimerRunning());

    // The next message after the end starts a new blink.
    EXPECT_EQ(Calls([&] { icons.Blink(); }),
              (Lines{"1175 box blink", "1175 window MBLINK", "1175 timer on"}));
}

TEST_F(TrayIconsTest, SteadyPlayingFlickersAtTheTimersPace) {
    for (int t = 0; t < 400; t += 20) {
        icons.Blink();
        shell.Advance(20);
    }
    Lines timer;
    for (const std::string& call : shell.calls)
        if (call.find("timer") != std::string::npos) timer.push_back(call);
    EXPECT_EQ(timer, (Lines{"0 timer on", "175 timer off", "180 timer on", "355 timer off",
                            "360 timer on"}));
}

TEST_F(TrayIconsTest, MinimiseAndRestoreWalkTheStateTable) {
    icons.SetIcon(iconName);
    EXPECT_EQ(Calls([&] { icons.Minimize(); }),
              (Lines{"0 menu tray", "0 tray add TRAYICON", "0 hide"}));
    EXPECT_TRUE(minimized);
    EXPECT_EQ(icons.WindowIcon(), "MAINICON") << "the window icon is left as it was";
    EXPECT_EQ(Calls([&] { icons.Minimize(); }), Lines{}) << "already in the tray";

    EXPECT_EQ(Calls([&] { icons.Restore(); }), (Lines{"0 menu normal", "0 show", "0 tray delete"}))
        << "the window icon is still the right one";
    EXPECT_FALSE(minimized);
    EXPECT_EQ(Calls([&] { icons.Restore(); }), Lines{}) << "nothing to restore";
}

TEST_F(TrayIconsTest, SwitchingPlayingOffAndOnChangesTheIconThatIsShownAtOnce) {
    struct Case {
        bool inTray;
        bool enabled;
        Lines calls;
    };
    const Case cases[] = {
        {false, false, {"0 box idle", "0 window MDISABLED"}},
        {false, true, {"0 box idle", "0 window MAINICON"}},
        {true, false, {"0 tray modify TRAYDISABLED"}},
        {true, true, {"0 tray modify TRAYICON"}},
    };
    for (const Case& c : cases) {
        minimized = c.inTray;
        iconName = c.enabled ? icons::TrayEnabled : icons::TrayDisabled;
        EXPECT_EQ(Calls([&] { icons.EnabledChanged(); }), c.calls)
            << "in tray " << c.inTray << ", enabled " << c.enabled;
    }
}

TEST_F(TrayIconsTest, AMessageInTheTrayBlinksOnlyTheTrayIcon) {
    icons.SetIcon(iconName);
    icons.Minimize();
    iconName = icons::TrayDisabled; // playing switched off from the tray's menu
    EXPECT_EQ(Calls([&] {
                  icons.Blink();
                  shell.Advance(200);
              }),
              (Lines{"0 tray modify TRAYBLINK", "0 timer on", "175 tray modify TRAYDISABLED",
                     "175 timer off"}));
    EXPECT_EQ(icons.WindowIcon(), "MAINICON");
    EXPECT_FALSE(icons.IconBoxBlinking());
}

TEST_F(TrayIconsTest, MinimisingDuringABlinkAddsTheIdleIconWhichTheTickLeavesAlone) {
    icons.Blink();
    shell.Advance(100);
    EXPECT_EQ(Calls([&] {
                  icons.Minimize();
                  shell.Advance(100);
              }),
              (Lines{"100 menu tray", "100 tray add TRAYICON", "100 hide", "175 box idle",
                     "175 timer off"}));
    EXPECT_FALSE(icons.IconBoxBlinking()) << "the box does not come back blinking";
    EXPECT_EQ(Calls([&] { icons.Restore(); }),
              (Lines{"200 menu normal", "200 show", "200 tray delete", "200 window MAINICON"}));
}

TEST_F(TrayIconsTest, RestoringDuringABlinkShowsTheIdleIconAndTheTickKeepsIt) {
    icons.Minimize();
    icons.Blink();
    shell.Advance(50);
    EXPECT_EQ(Calls([&] {
                  icons.Restore();
                  shell.Advance(200);
              }),
              (Lines{"50 menu normal", "50 show", "50 tray delete", "50 window MAINICON",
                     "175 timer off"}));
}

TEST_F(TrayIconsTest, AStartInTheTrayAddsTheIconAfterTheFailedModifyAndOneRestoreEndsIt) {
    minimized = true; // from the command line, before the window exists
    EXPECT_EQ(Calls([&] {
                  icons.SetIcon(iconName);
                  icons.AppEventsMinimize();
              }),
              (Lines{"0 tray modify TRAYICON", "0 menu tray", "0 tray add TRAYICON", "0 hide"}));
    EXPECT_EQ(Calls([&] { icons.Restore(); }),
              (Lines{"0 menu normal", "0 show", "0 tray delete", "0 window MAINICON"}));
    EXPECT_FALSE(minimized);
}

TEST_F(TrayIconsTest, ARestartedShellGetsTheTrayIconBackOnlyWhileInTheTray) {
    EXPECT_EQ(Calls([&] { icons.ShellRestarted(); }), Lines{});
    icons.Minimize();
    EXPECT_EQ(Calls([&] { icons.ShellRestarted(); }), Lines{"0 tray add TRAYICON"});
    icons.Blink();
    EXPECT_EQ(Calls([&] { icons.ShellRestarted(); }), Lines{"0 tray add TRAYBLINK"});
}

TEST_F(TrayIconsTest, TheWindowsEndDeletesTheTrayIconAndStopsARunningTimer) {
    EXPECT_EQ(Calls([&] { icons.WindowDestroyed(); }), Lines{"0 tray delete"});
    icons.Blink();
    EXPECT_EQ(Calls([&] { icons.WindowDestroyed(); }), (Lines{"0 tray delete", "0 timer off"}));
    EXPECT_EQ(Calls([&] { icons.BlinkTimerTimer(); }), Lines{}) << "a late tick does nothing";
}

// The same rules reached through the application core: its menu items, the keyboard's
// MIDI messages, its timer and its shutdown.
class TrayInTheCore : public ::testing::Test {
protected:
    TrayInTheCore() {
        files.files["Layouts/Piano.txt"] = {"Q = 60\r\n"};
        core.Start();
        host.icons.clear();
    }
    fw::MenuItem& Item(const char* name) { return core.Menu().Item(name); }
    using Lines = std::vector<std::string>;

    fakes::FakeAppHost host;
    fakes::FakeMidiOut midi;
    fakes::FakeRegistry registry;
    fakes::FakeFiles files;
    AppCore core{host, midi, registry, files};
};

TEST_F(TrayInTheCore, TheMinimizeItemGoesToTheTrayAndReadsRestoreUntilItComesBack) {
    Item("mnuMinimize").Click();
    EXPECT_EQ(host.icons, Lines{"tray add TRAYICON"});
    EXPECT_FALSE(host.shown);
    EXPECT_TRUE(core.State().Minimized);
    EXPECT_EQ(Item("mnuMinimize").Caption(), "&Restore");
    for (const char* hidden : {"mnuSkin", "mnuZoom", "mnuVertical"})
        EXPECT_FALSE(Item(hidden).Visible()) << hidden;

    host.icons.clear();
    Item("mnuMinimize").Click();
    EXPECT_EQ(host.icons, (Lines{"tray delete"})) << "the window icon did not change";
    EXPECT_TRUE(host.shown);
    EXPECT_EQ(host.fronts, 1);
    EXPECT_EQ(Item("mnuMinimize").Caption(), "&Minimize");
    EXPECT_TRUE(Item("mnuVertical").Visible());
}

TEST_F(TrayInTheCore, EveryMidiMessageBlinksUntilTheBlinkTimerTicks) {
    core.Engine().Send(play::MousePress{60, 100});
    core.Engine().Send(play::MouseRelease{60});
    EXPECT_EQ(host.icons, (Lines{"window MBLINK"})) << "set once, not again for every message";
    EXPECT_EQ(host.timers, (std::map<int, uint32_t>{{AppCore::BlinkTimerId, 175}}));

    core.Timer(AppCore::BlinkTimerId);
    EXPECT_EQ(host.icons, (Lines{"window MBLINK", "window MAINICON"}));
    EXPECT_TRUE(host.timers.empty()) << "no timer while idle";
}

TEST_F(TrayInTheCore, ShutdownDeletesTheTrayIconWhetherOrNotOneWasAdded) {
    core.Stop();
    EXPECT_EQ(host.icons, Lines{"tray delete"});
}

} // namespace

} // namespace zevaver

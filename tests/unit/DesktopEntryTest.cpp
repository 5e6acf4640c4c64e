#include "services/DesktopEntry.h"

#include <gtest/gtest.h>

namespace zevaver {

namespace {

TEST(DesktopEntry, TheCommandLineQuotesAndEscapesWhatTheRulesReserve) {
    EXPECT_EQ(DesktopExecValue({"/usr/bin/zevaver-midi-keyboard", "--minimized"}),
              "/usr/bin/zevaver-midi-keyboard --minimized");
    EXPECT_EQ(DesktopExecValue({"/home/ann/My Programs/keys", "/M"}),
              "\"/home/ann/My Programs/keys\" /M");
    // Inside quotes a backslash escapes ", `, $ and \; the value's own escaping then doubles
    // every backslash again.
    EXPECT_EQ(DesktopExecValue({"/opt/a\"b$c`d\\e f"}), "\"/opt/a\\\\\"b\\\\$c\\\\`d\\\\\\\\e f\"");
    EXPECT_EQ(DesktopExecValue({"/opt/100%/keys"}), "/opt/100%%/keys") << "not a field code";
    EXPECT_EQ(DesktopExecValue({"/opt/x", ""}), "/opt/x \"\"") << "an empty argument stays one";
}

TEST(DesktopEntry, TheSessionStartsTheProgramInTheBackground) {
    const std::string entry = AutostartEntry("/opt/Zevaver Keys/zevaver-midi-keyboard");
    EXPECT_EQ(entry.rfind("[Desktop Entry]\n", 0), 0u);
    EXPECT_NE(entry.find("\nExec=\"/opt/Zevaver Keys/zevaver-midi-keyboard\" --minimized\n"),
              std::string::npos);
    EXPECT_NE(entry.find("\nType=Application\n"), std::string::npos);
    EXPECT_TRUE(AutostartEnabled(entry));
}

TEST(DesktopEntry, AnEntryTheUserSwitchedOffStartsNothing) {
    EXPECT_FALSE(AutostartEnabled("[Desktop Entry]\nExec=x\nHidden=true\n"));
    EXPECT_FALSE(AutostartEnabled("[Desktop Entry]\nX-GNOME-Autostart-enabled = false\n"));
    EXPECT_TRUE(AutostartEnabled("[Desktop Entry]\nHidden=false\n"));
    EXPECT_TRUE(AutostartEnabled("# Hidden=true\n[Desktop Entry]\nExec=x\n")) << "a comment";
    EXPECT_TRUE(AutostartEnabled("[Desktop Entry]\n[Desktop Action New]\nHidden=true\n"))
        << "another group's key";
    EXPECT_TRUE(AutostartEnabled(""));
}

} // namespace

} // namespace zevaver

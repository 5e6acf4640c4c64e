#include "services/WatchStatus.h"

#include <gtest/gtest.h>

namespace zevaver {

namespace {

TEST(WatchStatusReport, EveryFailureToOpenIsShownAndEndsTheProgramButADisabledWatchIsSilent) {
    const std::string inUse =
        "Another application already uses vivuvav.dll.\r\nTry restarting the program.";
    struct Case {
        WatchStatus status;
        std::vector<std::string> messages;
        bool endProgram;
    };
    const Case cases[] = {
        {WatchStatus::Ok, {}, false},
        {WatchStatus::Disabled, {}, false},
        {WatchStatus::NotFound, {"Library vivuvav.dll not found."}, true},
        {WatchStatus::NotValid, {"Library vivuvav.dll is not valid."}, true},
        {WatchStatus::InUse, {inUse}, true},
        {WatchStatus::CannotOverride,
         {inUse, "Unable to override.\r\nSystem watching is disabled."},
         true},
    };
    for (const Case& c : cases) {
        const WatchStatusReport report = ReportFor(c.status);
        EXPECT_EQ(report.messages, c.messages) << static_cast<int>(c.status);
        EXPECT_EQ(report.endProgram, c.endProgram) << static_cast<int>(c.status);
    }
}

} // namespace

} // namespace zevaver

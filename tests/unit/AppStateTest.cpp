#include "mainwindow/AppState.h"

#include <gtest/gtest.h>

namespace zevaver {

namespace {

TEST(AppState, OnlyTheFirstArgumentInAnyCaseStartsInTheTray) {
    struct Case {
        std::vector<const char*> argv;
        bool minimized;
    };
    const Case cases[] = {
        {{"prog"}, false},        {{"prog", "/M"}, true},
        {{"prog", "/m"}, true},   {{"prog", "x", "/M"}, false},
        {{"prog", "/MM"}, false}, {{"prog", "-M"}, false},
        {{"prog", ""}, false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(StartsMinimized(static_cast<int>(c.argv.size()), c.argv.data()), c.minimized)
            << (c.argv.size() > 1 ? c.argv[1] : "(none)");
}

} // namespace

} // namespace zevaver

// One instance on Linux: the first start listens, a later one hands its parameters over in
// the instance block's form and ends; without an answer it runs on its own.
#include "services/linux/OneInstance.h"

#include <gtest/gtest.h>

#include <atomic>
#include <poll.h>
#include <thread>
#include <unistd.h>

namespace zevaver {

namespace {

std::string Folder() {
    char pattern[] = "/tmp/mk-instance-XXXXXX";
    return mkdtemp(pattern);
}

TEST(LinuxOneInstance, ALaterStartHandsItsParametersToTheRunningCopyAndEnds) {
    const std::string folder = Folder();
    LinuxOneInstance first(folder, "program");
    ASSERT_TRUE(first.Check({}));
    ASSERT_TRUE(first.IsFirstInstance());
    std::vector<std::vector<std::string>> received;
    first.OnInstanceStarted = [&](const std::vector<std::string>& p) { received.push_back(p); };
    std::atomic<bool> stop{false};
    std::thread answering([&] {
        while (!stop) {
            pollfd wait{first.ListenerFd(), POLLIN, 0};
            if (poll(&wait, 1, 20) > 0) first.Answer();
        }
    });
    std::vector<std::string> twelve;
    for (int i = 1; i <= 12; ++i) twelve.push_back(std::string(i == 2 ? 500 : 3, 'a' + i));
    {
        LinuxOneInstance later(folder, "program");
        EXPECT_FALSE(later.Check({"/M"})) << "handed over";
        EXPECT_FALSE(later.IsFirstInstance());
    }
    LinuxOneInstance third(folder, "program");
    EXPECT_FALSE(third.Check(twelve));
    // Another executable's name is another program.
    LinuxOneInstance other(folder, "other");
    EXPECT_TRUE(other.Check({}));
    stop = true;
    answering.join();
    ASSERT_EQ(received.size(), 2u);
    EXPECT_EQ(received[0], std::vector<std::string>{"/M"});
    ASSERT_EQ(received[1].size(), 10u);
    EXPECT_EQ(received[1][1], std::string(300, 'c'));
    EXPECT_EQ(received[1][9], twelve[9]);
}

TEST(LinuxOneInstance, AFirstStartThatEndedLeavesNothingInTheWayOfTheNext) {
    const std::string folder = Folder();
    {
        LinuxOneInstance gone(folder, "program");
        ASSERT_TRUE(gone.Check({}));
    }
    // Its socket file may even be left behind (a crash): the lock is what counts.
    ASSERT_EQ(std::system(("touch '" + folder + "/program.socket'").c_str()), 0);
    LinuxOneInstance next(folder, "program");
    EXPECT_TRUE(next.Check({}));
    EXPECT_TRUE(next.IsFirstInstance());
}

} // namespace

} // namespace zevaver

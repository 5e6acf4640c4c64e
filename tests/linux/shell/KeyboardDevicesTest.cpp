// Finding the keyboards among the input devices: nodes that are no keyboards are left
// closed and are not taken for a refusal, and nodes appearing later are announced.
#include "services/linux/KeyboardDevices.h"

#include <gtest/gtest.h>

#include <poll.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <string>

namespace zevaver {

namespace {

bool Readable(int fd) {
    pollfd wait{fd, POLLIN, 0};
    return poll(&wait, 1, 0) == 1;
}

TEST(KeyboardDevices, NodesThatAreNoKeyboardsAreSkippedAndNewNodesAreAnnounced) {
    const std::string folder = "/tmp/mk-input-" + std::to_string(getpid());
    ASSERT_EQ(mkdir(folder.c_str(), 0700), 0);
    std::ofstream(folder + "/event0") << "not a device";
    ASSERT_EQ(mkfifo((folder + "/mouse0").c_str(), 0600), 0) << "no event node: never opened";
    // /dev/null answers no input ioctl: a device without keys.
    ASSERT_EQ(symlink("/dev/null", (folder + "/event1").c_str()), 0);

    KeyboardDevices devices(folder);
    const int watch = devices.WatchFd();
    ASSERT_GE(watch, 0);
    const KeyboardDevices::Scan scan = devices.OpenNew();
    EXPECT_TRUE(scan.opened.empty());
    EXPECT_EQ(scan.keyboards, 0);
    EXPECT_FALSE(scan.denied);
    EXPECT_FALSE(Readable(watch));

    std::ofstream(folder + "/event2") << "plugged in";
    EXPECT_TRUE(Readable(watch)) << "a new node is announced";
    devices.TakeChanges();
    EXPECT_FALSE(Readable(watch)) << "and the announcement taken";
    EXPECT_EQ(devices.OpenNew().keyboards, 0);
    std::system(("rm -rf '" + folder + "'").c_str());
}

} // namespace

} // namespace zevaver

// The program on a Wayland compositor (Weston without a screen): it runs there natively,
// says once that the keys of other programs cannot be had, and ends as a session ends it.
#include <gtest/gtest.h>

#include "support/JackSession.h"
#include "support/ProgramRun.h"

#include <filesystem>

namespace zevaver {

namespace {

using namespace linuxtest;

// Weston on its own socket in the test home's runtime folder.
class Weston {
public:
    Weston(const std::string& runtime, const std::string& socket)
        : socketPath_(runtime + "/" + socket) {
        pid_ = fork();
        if (pid_ == 0) {
            setenv("XDG_RUNTIME_DIR", runtime.c_str(), 1);
            freopen("/dev/null", "w", stdout);
            freopen("/dev/null", "w", stderr);
            execlp("weston", "weston", "--backend=headless-backend.so",
                   ("--socket=" + socket).c_str(), "--width=1024", "--height=768", "--idle-time=0",
                   static_cast<char*>(nullptr));
            _exit(127);
        }
    }
    ~Weston() {
        if (pid_ > 0) {
            kill(pid_, SIGTERM);
            waitpid(pid_, nullptr, 0);
        }
    }
    Weston(const Weston&) = delete;
    Weston& operator=(const Weston&) = delete;

    [[nodiscard]] bool Ready(int ms = 10000) const {
        for (int waited = 0; waited < ms; waited += 50) {
            if (std::filesystem::exists(socketPath_)) return true;
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
        return false;
    }

private:
    std::string socketPath_;
    pid_t pid_ = -1;
};

TEST(LinuxOnWayland, TheWindowRunsNativelyAndTellsOnceThatOtherProgramsKeysCannotBeHad) {
    // An input to play to, or the box that says there is none would come first.
    JackServer jack("mk-wl-" + std::to_string(getpid()));
    ASSERT_TRUE(jack.Ready()) << "the JACK server did not start";
    JackRecorder recorder;
    ASSERT_TRUE(recorder.Running());
    TestHome home("wayland");
    Weston weston(home.Root() + "/run", "wayland-mk");
    ASSERT_TRUE(weston.Ready()) << "Weston did not start";
    const std::vector<std::string> wayland{"WAYLAND_DISPLAY=wayland-mk", "GDK_BACKEND=wayland",
                                           "DISPLAY="};
    {
        ProgramRun program(home, {}, wayland);
        EXPECT_TRUE(recorder.AwaitConnection()) << "the program's port never reached JACK";
        for (int waited = 0; waited < 10000 && home.Setting("Wayland Notice Shown").empty();
             waited += 50)
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        EXPECT_EQ(home.Setting("Wayland Notice Shown"), "Yes") << "the notice was not given";
        ASSERT_TRUE(program.Running()) << "the program did not run on Wayland";
        // A signal ends it also while the notice waits for its OK.
        EXPECT_EQ(program.Close(), 0);
    }
    EXPECT_EQ(home.Setting("Read Keyboards"), "") << "reading the keyboards is the user's choice";
    ProgramRun again(home, {}, wayland);
    std::this_thread::sleep_for(std::chrono::milliseconds(1500));
    ASSERT_TRUE(again.Running());
    EXPECT_EQ(again.Close(), 0);
    EXPECT_EQ(home.Setting("Wayland Notice Shown"), "Yes");
    EXPECT_FALSE(home.Setting("Skin").empty()) << "the settings were kept on Wayland too";
}

} // namespace

} // namespace zevaver

// The packages as a user gets them: the .deb installed with dpkg into a clean root (its
// dependencies declared), its program started from /usr with its data from /usr/share,
// played through JACK, and removed again leaving the user's settings; the portable folder
// unpacked and played from where it lies.
#include <gtest/gtest.h>

#include "services/SettingsDlgRules.h"
#include "support/ProgramRun.h"
#include "support/ProgramTest.h"
#include "support/XSession.h"

#include <filesystem>
#include <glob.h>

namespace zevaver {

namespace {

using namespace linuxtest;
namespace fs = std::filesystem;

constexpr const char* Title = "Zevaver MIDI Keyboard";
constexpr const char* Name = "zevaver-midi-keyboard";
const std::string Guide(settingsdlg::UserGuideFile);

// The one file of the package folder that matches.
std::string PackageFile(const std::string& pattern) {
    const char* folder = std::getenv("MK_LINUX_PACKAGE_DIR");
    glob_t found{};
    std::string path;
    if (folder && glob((std::string(folder) + "/" + pattern).c_str(), 0, nullptr, &found) == 0 &&
        found.gl_pathc == 1)
        path = found.gl_pathv[0];
    globfree(&found);
    return path;
}

int Shell(const std::string& command) {
    const int status = std::system(command.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

class LinuxPackages : public ProgramTest {
protected:
    // Starts the program, waits for its window and its port, and plays Q.
    void StartAndPlay(ProgramRun& program) {
        ASSERT_NE(x_.Await(Title), 0u) << "no window";
        ASSERT_TRUE(recorder_.AwaitConnection()) << "the program's port never reached the recorder";
        x_.FocusOwnWindow();
        recorder_.Clear();
        x_.Tap(KeyQ);
        const std::vector<RecordedEvent> events = recorder_.AwaitEvents(2);
        ASSERT_EQ(events.size(), 2u) << "the layouts were not found";
        EXPECT_EQ(events[0].data1, 60);
        EXPECT_TRUE(program.Running());
    }
};

TEST_F(LinuxPackages, TheDebInstallsInACleanRootPlaysFromUsrAndUninstallsLeavingTheSettings) {
    const std::string deb = PackageFile(std::string(Name) + "_*.deb");
    ASSERT_FALSE(deb.empty()) << "no .deb was built";
    TestHome home("deb");
    const std::string root = home.Root() + "/root";
    const std::string dpkg = "dpkg --root='" + root + "' --log='" + root + "/var/log/dpkg.log' ";
    ASSERT_EQ(Shell("'" MK_PACKAGE_TESTS "/make-root' '" + deb + "' '" + root + "'"), 0)
        << "a declared dependency is not an installed package";
    ASSERT_EQ(Shell(dpkg + "-i '" + deb + "' >/dev/null"), 0);

    const std::string share = root + "/usr/share";
    const std::string program = root + "/usr/bin/" + Name;
    EXPECT_TRUE(fs::exists(share + "/applications/" + Name + ".desktop"));
    for (const char* size : {"16x16", "22x22", "24x24", "48x48", "64x64", "128x128"})
        EXPECT_TRUE(fs::exists(share + "/icons/hicolor/" + size + "/apps/" + Name + ".png"))
            << size;
    EXPECT_TRUE(fs::exists(share + "/" + Name + "/" + Guide));
    EXPECT_FALSE(fs::exists(root + "/usr/bin/Layouts")) << "the data belongs under /usr/share";
    EXPECT_FALSE(fs::exists(share + "/icons/hicolor/index.theme")) << "the icon theme's own file";
    {
        ProgramRun run(home, {}, {"XDG_DATA_DIRS=" + share + ":" + home.Root() + "/system"},
                       program);
        StartAndPlay(run);
        EXPECT_EQ(run.Close(), 0);
    }
    ASSERT_TRUE(fs::exists(home.SettingsFile()));
    const std::string settings = home.Settings();

    ASSERT_EQ(Shell(dpkg + "--purge " + Name + " >/dev/null"), 0);
    EXPECT_FALSE(fs::exists(program));
    EXPECT_FALSE(fs::exists(share + "/" + Name));
    EXPECT_FALSE(fs::exists(share + "/applications/" + Name + ".desktop"));
    EXPECT_EQ(home.Settings(), settings) << "the user's settings are the user's";
}

TEST_F(LinuxPackages, ThePortableFolderPlaysWhereItIsUnpacked) {
    const std::string archive = PackageFile(std::string(Name) + "-*-linux-*.tar.gz");
    ASSERT_FALSE(archive.empty()) << "no .tar.gz was built";
    TestHome home("tar");
    const std::string folder = home.Root() + "/unpacked";
    ASSERT_EQ(Shell("mkdir -p '" + folder + "' && tar -xzf '" + archive + "' -C '" + folder + "'"),
              0);
    std::string program;
    for (const auto& entry : fs::directory_iterator(folder))
        program = (entry.path() / Name).string();
    ASSERT_TRUE(fs::exists(program)) << "one folder with the program in it";
    EXPECT_TRUE(fs::exists(fs::path(program).parent_path() / Guide));
    EXPECT_TRUE(fs::exists(fs::path(program).parent_path() / (std::string(Name) + ".desktop")));
    ProgramRun run(home, {}, {}, program);
    StartAndPlay(run);
    EXPECT_EQ(run.Close(), 0);
}

} // namespace

} // namespace zevaver

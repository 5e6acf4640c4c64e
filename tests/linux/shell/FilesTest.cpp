// The Linux shell's files: the INI settings store (through the portable store's rules), the
// layout files across the data folders, and files written whole or not at all.
#include "engine/linux/IniSettings.h"
#include "engine/linux/LinuxLayoutFiles.h"
#include "framework/linux/Folders.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <sys/stat.h>
#include <unistd.h>

namespace zevaver {

namespace {

class TempFolder {
public:
    TempFolder() {
        char pattern[] = "/tmp/mk-shell-XXXXXX";
        path_ = mkdtemp(pattern);
    }
    ~TempFolder() { std::system(("chmod -R u+w '" + path_ + "'; rm -rf '" + path_ + "'").c_str()); }
    [[nodiscard]] std::string operator/(const std::string& name) const {
        return path_ + "/" + name;
    }

private:
    std::string path_;
};

std::string Read(const std::string& path) {
    return fw::ReadWholeFile(path).value_or("<missing>");
}

void Write(const std::string& path, const std::string& text) {
    ASSERT_TRUE(fw::WriteWholeFile(path, text)) << path;
}

TEST(IniSettings, SaveAndLoadTheWholeRecordThroughTheUsersFileKeepingWhatElseItHolds) {
    TempFolder folder;
    const std::string file = folder / "config/zevaver-midi-keyboard/settings.ini";
    Write(file, "[Elsewhere]\nKept=yes\n[MIDI Keyboard]\nFrom A Later Version=1\nSkin=Old\n");
    IniSettings store(file, {});
    TSettings saved;
    saved.Skin = "Midnight";
    saved.Layout = " Two  words ";
    saved.Left = -300;
    saved.Vertical = true;
    saved.DeviceName = "recorder:in (JACK)";
    std::vector<std::string> errors;
    const auto report = [&](const std::string& text) { errors.push_back(text); };
    ASSERT_TRUE(SaveSettings(saved, store, report));
    const std::string text = Read(file);
    EXPECT_NE(text.find("[Elsewhere]\nKept=yes\n"), std::string::npos) << text;
    EXPECT_NE(text.find("From A Later Version=1\nSkin=Midnight\n"), std::string::npos) << text;
    EXPECT_NE(text.find("Base Octave=0\n"), std::string::npos);
    EXPECT_NE(text.find("Vertical=Yes\n"), std::string::npos);

    TSettings loaded;
    LoadSettings(loaded, store, {1920, 1080}, report);
    EXPECT_EQ(loaded.Skin, "Midnight");
    EXPECT_EQ(loaded.Layout, " Two  words ");
    EXPECT_EQ(loaded.Left, -300);
    EXPECT_TRUE(loaded.Vertical);
    EXPECT_EQ(loaded.DeviceName, "recorder:in (JACK)");
    EXPECT_TRUE(errors.empty());
}

TEST(IniSettings, AFirstRunIsCentredAndReadsTheSystemsDefaultsUntilTheUserHasAFile) {
    TempFolder folder;
    const std::string user = folder / "user/settings.ini";
    const std::string system = folder / "etc/settings.ini";
    IniSettings store(user, {folder / "missing/settings.ini", system});
    TSettings first;
    LoadSettings(first, store, {1920, 1080}, {});
    EXPECT_EQ(first.Left, 1920 / 2 - 716 / 2);
    EXPECT_FALSE(fw::IsFile(user)) << "a first run creates nothing";

    Write(system, "[MIDI Keyboard]\nSkin=Classic\n");
    TSettings defaults;
    LoadSettings(defaults, store, {1920, 1080}, {});
    EXPECT_EQ(defaults.Skin, "Classic");
    ASSERT_TRUE(SaveSettings(defaults, store, {}));
    EXPECT_EQ(Read(system), "[MIDI Keyboard]\nSkin=Classic\n") << "the system's file is only read";
    EXPECT_NE(Read(user).find("Skin=Classic\n"), std::string::npos);
}

TEST(IniSettings, AFileThatCannotBeWrittenKeepsTheOldOneWholeAndIsReported) {
    if (geteuid() == 0) GTEST_SKIP() << "root may write any folder";
    TempFolder folder;
    const std::string file = folder / "locked/settings.ini";
    Write(file, "[MIDI Keyboard]\nSkin=Old\n");
    chmod((folder / "locked").c_str(), 0500);
    IniSettings store(file, {});
    std::vector<std::string> errors;
    EXPECT_FALSE(
        SaveSettings(TSettings{}, store, [&](const std::string& t) { errors.push_back(t); }));
    EXPECT_EQ(errors, std::vector<std::string>{"Failed to set data for 'Skin'"});
    EXPECT_EQ(Read(file), "[MIDI Keyboard]\nSkin=Old\n");
}

TEST(WholeFiles, ReplaceTheFileWholeAndLeaveNothingBeside) {
    TempFolder folder;
    const std::string file = folder / "a/b/file.txt";
    Write(file, "first");
    Write(file, "second, longer");
    EXPECT_EQ(Read(file), "second, longer");
    EXPECT_EQ(fw::SubFolders(folder / "a"), std::vector<std::string>{"b"});
    EXPECT_EQ(std::system(("test $(ls '" + (folder / "a/b") + "' | wc -l) -eq 1").c_str()), 0);
    ASSERT_TRUE(fw::MakeFolders(folder / "a/b/folder.txt"));
    EXPECT_FALSE(fw::WriteWholeFile(folder / "a/b/folder.txt", "x")) << "a folder is no file";
}

TEST(LinuxLayoutFiles, ReadTheFirstFolderThatHasTheLayoutAndWriteChangesWhereTheyMayGo) {
    TempFolder folder;
    const std::string user = folder / "user", shipped = folder / "beside", system = folder / "sys";
    Write(shipped + "/Layouts/Piano.txt", "Q = 60\n");
    Write(system + "/Layouts/Piano.txt", "Q = 1\n");
    Write(system + "/Layouts/Only Here.txt", "W = 62\n");
    LinuxLayoutFiles files({user, shipped, system});
    EXPECT_TRUE(files.Exists(LayoutPath("Piano")));
    EXPECT_EQ(files.ReadAll(LayoutPath("Piano")).bytes, "Q = 60\n");
    EXPECT_EQ(files.ReadAll(LayoutPath("Only Here")).bytes, "W = 62\n");
    EXPECT_FALSE(files.Exists(LayoutPath("Nowhere")));
    EXPECT_FALSE(files.ReadAll(LayoutPath("Nowhere")).complete);

    // Beside the program it may be written: it is changed there.
    ASSERT_TRUE(files.WriteAll(LayoutPath("Piano"), "Q = 61\n"));
    EXPECT_EQ(Read(shipped + "/Layouts/Piano.txt"), "Q = 61\n");
    // A new layout goes to the user's folder, and from then on shadows the others.
    ASSERT_TRUE(files.WriteAll(LayoutPath("Mine"), "E = 64\n"));
    EXPECT_EQ(Read(user + "/Layouts/Mine.txt"), "E = 64\n");
    ASSERT_TRUE(files.WriteAll(LayoutPath("Piano"), "Q = 62\n"));
    EXPECT_EQ(files.ReadAll(LayoutPath("Piano")).bytes, "Q = 62\n");
}

} // namespace

} // namespace zevaver

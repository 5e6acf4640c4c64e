#include "engine/win/RegistrySettings.h"
#include "engine/win/WinLayoutFiles.h"
#include "framework/win/Application.h"
#include "framework/win/Registry.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace zevaver {

namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

struct ShownBox {
    std::string text;
    std::string caption;
    UINT type;
};
std::vector<ShownBox> shownBoxes;

int CaptureBox(HWND, const char* text, const char* caption, UINT type) noexcept {
    shownBoxes.push_back({text, caption, type});
    return IDOK;
}

constexpr const char* TestsRoot = "Software\\ZevaverTests";

// Each test gets a key of its own under both hives, removed again afterwards, so no test
// sees another's values and the program's real key is never touched.
class SettingsRegistry : public ::testing::Test {
protected:
    void SetUp() override {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        path_ = std::string(TestsRoot) + "\\" + std::to_string(GetCurrentProcessId()) + "-" +
                info->name();
        Cleanup();
        shownBoxes.clear();
        previousBox_ = fw::SetMessageBoxFunction(&CaptureBox);
    }
    void TearDown() override {
        fw::SetMessageBoxFunction(previousBox_);
        Cleanup();
    }
    void Cleanup() {
        for (HKEY root : {HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE}) {
            EXPECT_TRUE(fw::DeleteRegistryTree(root, path_));
            RegDeleteKeyA(root, TestsRoot); // only succeeds once no test key is left
        }
    }

    fw::RegKey Create(HKEY root = HKEY_CURRENT_USER) {
        fw::RegKey key = fw::CreateRegistryKey(root, path_);
        EXPECT_TRUE(key.valid());
        return key;
    }

    std::string path_;
    fw::MessageBoxFunction previousBox_ = nullptr;
};

int32_t ExpectedLeft() {
    return GetSystemMetrics(SM_CXSCREEN) / 2 - 716 / 2;
}
int32_t ExpectedTop() {
    return GetSystemMetrics(SM_CYSCREEN) / 2 - 140 / 2;
}

TEST_F(SettingsRegistry, WithNoKeyKeepsTheDefaultsAndCentresOnThePrimaryScreen) {
    TSettings s;
    LoadSettings(s, path_);
    EXPECT_EQ(s.Left, ExpectedLeft());
    EXPECT_EQ(s.Top, ExpectedTop());
    EXPECT_EQ(s.Width, 716);
    EXPECT_EQ(s.Skin, "Zevizi");
    EXPECT_EQ(s.PedalKey, -1);
    EXPECT_EQ(s.Layout, "Piano");
    EXPECT_FALSE(fw::RegistryKeyExists(HKEY_CURRENT_USER, path_)) << "loading creates nothing";
    EXPECT_THAT(shownBoxes, IsEmpty());
}

TEST_F(SettingsRegistry, FromAKeyMissingValuesGivesZerosEmptyTextsAndDefaultFlags) {
    ASSERT_TRUE(fw::WriteRegistryString(Create().get(), "Device Name", "Synth"));
    TSettings s;
    LoadSettings(s, path_);
    EXPECT_EQ(s.Width, 0);
    EXPECT_EQ(s.Top, 0);
    EXPECT_EQ(s.Channel, 0);
    EXPECT_EQ(s.PedalKey, 0);
    EXPECT_THAT(s.Shortcuts, ElementsAre(0, 0, 0, 0, 0, 0));
    EXPECT_EQ(s.Skin, "");
    EXPECT_EQ(s.Layout, "");
    EXPECT_FALSE(s.KeysByPosition) << "stored by an earlier version";
    EXPECT_FALSE(s.Vertical);
    EXPECT_TRUE(s.Enabled);
    EXPECT_TRUE(s.KillKeystrokes);
    EXPECT_THAT(shownBoxes, IsEmpty());
}

TEST_F(SettingsRegistry, SavesEveryValueAsATerminatedString) {
    TSettings s;
    s.Skin = "Blue";
    ASSERT_TRUE(SaveSettings(s, path_));
    fw::RegKey key = fw::OpenRegistryKey(HKEY_CURRENT_USER, path_, KEY_READ);
    ASSERT_TRUE(key);
    std::vector<std::string> names;
    for (DWORD index = 0;; ++index) {
        char name[256];
        DWORD nameSize = sizeof name;
        DWORD type = REG_NONE;
        BYTE data[256];
        DWORD dataSize = sizeof data;
        if (RegEnumValueA(key.get(), index, name, &nameSize, nullptr, &type, data, &dataSize) !=
            ERROR_SUCCESS)
            break;
        names.emplace_back(name);
        EXPECT_EQ(type, static_cast<DWORD>(REG_SZ)) << name;
        ASSERT_GT(dataSize, 0u) << name;
        EXPECT_EQ(data[dataSize - 1], 0) << name << " includes its terminating zero";
        EXPECT_EQ(std::strlen(reinterpret_cast<char*>(data)) + 1, dataSize) << name;
    }
    EXPECT_EQ(names.size(), static_cast<size_t>(SettingsValueCount));
    EXPECT_EQ(fw::ReadRegistryString(key.get(), "Skin").text, "Blue");
    EXPECT_EQ(fw::ReadRegistryString(key.get(), "Kill Keystrokes").text, "Yes");
    EXPECT_THAT(shownBoxes, IsEmpty());
}

// The layout's name is a file's name and may hold any character; a name stored in the
// code page by an earlier version reads the same, and one the code page holds is stored
// so that such a version reads it too.
TEST_F(SettingsRegistry, TheLayoutNameKeepsLettersOfAnyScriptAndReadsWhatEarlierVersionsStored) {
    const std::string cyrillic = reinterpret_cast<const char*>(u8"Клавиши");
    const std::string accented = reinterpret_cast<const char*>(u8"Grün");
    char ansiAccented[16] = {};
    WideCharToMultiByte(CP_ACP, 0, L"Gr\u00FCn", -1, ansiAccented, sizeof ansiAccented, nullptr,
                        nullptr);
    ASSERT_STRNE(ansiAccented, "Gr?n") << "the test needs a code page holding u with diaeresis";

    TSettings s;
    s.Layout = cyrillic;
    ASSERT_TRUE(SaveSettings(s, path_));
    TSettings read;
    LoadSettings(read, path_);
    EXPECT_EQ(read.Layout, cyrillic);

    {
        fw::RegKey key = Create();
        ASSERT_TRUE(fw::WriteRegistryString(key.get(), "Layout", ansiAccented));
    }
    LoadSettings(read, path_);
    EXPECT_EQ(read.Layout, accented);
    ASSERT_TRUE(SaveSettings(read, path_));
    fw::RegKey key = fw::OpenRegistryKey(HKEY_CURRENT_USER, path_, KEY_READ);
    EXPECT_EQ(fw::ReadRegistryString(key.get(), "Layout").text, ansiAccented);
    EXPECT_THAT(shownBoxes, IsEmpty());
}

TEST_F(SettingsRegistry, StoresAndReadsBackNegativeNumbers) {
    TSettings s;
    s.PedalKey = -1;
    s.BaseOctave = -24;
    s.Vertical = true;
    ASSERT_TRUE(SaveSettings(s, path_));
    {
        fw::RegKey key = fw::OpenRegistryKey(HKEY_CURRENT_USER, path_, KEY_READ);
        EXPECT_EQ(fw::ReadRegistryString(key.get(), "Pedal Key").text, "-1");
    }
    TSettings loaded;
    loaded.PedalKey = 17;
    LoadSettings(loaded, path_);
    EXPECT_EQ(loaded.PedalKey, -1);
    EXPECT_EQ(loaded.BaseOctave, -24);
    EXPECT_TRUE(loaded.Vertical);
}

TEST_F(SettingsRegistry, ShowsAnErrorForANumberStoredAsDwordAndReadsTheRest) {
    {
        fw::RegKey key = Create();
        const DWORD width = 900;
        ASSERT_EQ(RegSetValueExA(key.get(), "Width", 0, REG_DWORD,
                                 reinterpret_cast<const BYTE*>(&width), sizeof width),
                  ERROR_SUCCESS);
        ASSERT_TRUE(fw::WriteRegistryString(key.get(), "Height", "200"));
        ASSERT_TRUE(fw::WriteRegistryString(key.get(), "Vertical", "yes"));
    }
    TSettings s;
    LoadSettings(s, path_);
    ASSERT_EQ(shownBoxes.size(), 1u);
    EXPECT_EQ(shownBoxes[0].text, "Invalid data type for 'Width'");
    EXPECT_EQ(shownBoxes[0].caption, "Error");
    EXPECT_EQ(shownBoxes[0].type, static_cast<UINT>(MB_OK | MB_ICONERROR));
    EXPECT_EQ(s.Width, 716);
    EXPECT_EQ(s.Height, 200);
    EXPECT_FALSE(s.Vertical);
}

TEST_F(SettingsRegistry, TakesExpandableStringsLiterally) {
    {
        fw::RegKey key = Create();
        const char text[] = "%TEMP%";
        ASSERT_EQ(RegSetValueExA(key.get(), "Skin", 0, REG_EXPAND_SZ,
                                 reinterpret_cast<const BYTE*>(text), sizeof text),
                  ERROR_SUCCESS);
    }
    TSettings s;
    LoadSettings(s, path_);
    EXPECT_EQ(s.Skin, "%TEMP%");
    EXPECT_THAT(shownBoxes, IsEmpty());
}

TEST_F(SettingsRegistry, CarriesOverTheMachineWideKeyAndSavesToTheUsersKey) {
    {
        fw::RegKey machine = fw::CreateRegistryKey(HKEY_LOCAL_MACHINE, path_);
        if (!machine || !fw::WriteRegistryString(machine.get(), "Width", "900"))
            GTEST_SKIP() << "this system refuses writes under HKEY_LOCAL_MACHINE";
    }
    TSettings s;
    LoadSettings(s, path_);
    EXPECT_EQ(s.Width, 900);
    EXPECT_EQ(s.Height, 0);
    EXPECT_FALSE(fw::RegistryKeyExists(HKEY_CURRENT_USER, path_));
    ASSERT_TRUE(SaveSettings(s, path_));
    fw::RegKey user = fw::OpenRegistryKey(HKEY_CURRENT_USER, path_, KEY_READ);
    ASSERT_TRUE(user);
    EXPECT_EQ(fw::ReadRegistryString(user.get(), "Width").text, "900");
    fw::RegKey machine = fw::OpenRegistryKey(HKEY_LOCAL_MACHINE, path_, KEY_READ);
    EXPECT_EQ(fw::ReadRegistryString(machine.get(), "Height").status,
              fw::RegistryString::Status::Missing)
        << "the machine-wide key is left as it was";
}

TEST_F(SettingsRegistry, ReadsStringsWithoutATerminatingZeroAndEmptyOnes) {
    fw::RegKey key = Create();
    ASSERT_EQ(
        RegSetValueExA(key.get(), "Bare", 0, REG_SZ, reinterpret_cast<const BYTE*>("Zevizi"), 6),
        ERROR_SUCCESS);
    ASSERT_EQ(RegSetValueExA(key.get(), "Empty", 0, REG_SZ, nullptr, 0), ERROR_SUCCESS);
    ASSERT_EQ(
        RegSetValueExA(key.get(), "Cut", 0, REG_SZ, reinterpret_cast<const BYTE*>("ab\0cd"), 6),
        ERROR_SUCCESS);
    EXPECT_EQ(fw::ReadRegistryString(key.get(), "Bare").text, "Zevizi");
    fw::RegistryString empty = fw::ReadRegistryString(key.get(), "Empty");
    EXPECT_EQ(empty.status, fw::RegistryString::Status::Text);
    EXPECT_EQ(empty.text, "");
    EXPECT_EQ(fw::ReadRegistryString(key.get(), "Cut").text, "ab");
    EXPECT_EQ(fw::ReadRegistryString(key.get(), "Nothing").status,
              fw::RegistryString::Status::Missing);
}

// The layout folder is found relative to the current folder.
TEST(ProgramLayout, LoadsTheTableFromTheCurrentFolder) {
    namespace fs = std::filesystem;
    const fs::path before = fs::current_path();
    const fs::path folder =
        fs::temp_directory_path() / ("mk-layouts-" + std::to_string(GetCurrentProcessId()));
    fs::create_directories(folder / "Layouts");
    std::ofstream(folder / "Layouts" / "Piano.txt", std::ios::binary) << "Z = 48\r\n#188 = 60\r\n";
    TSettings settings;
    KeyNoteTable notes{};

    fs::current_path(folder);
    settings.Layout = "Missing";
    notes.fill(1);
    WinLayoutFiles files;
    const LayoutLoad result = LoadLayout(settings, notes, files);
    fs::current_path(before);

    EXPECT_EQ(result, LayoutLoad::Loaded);
    EXPECT_EQ(settings.Layout, "Piano");
    EXPECT_EQ(notes['Z'], 48);
    EXPECT_EQ(notes[188], 60);
    EXPECT_EQ(notes['A'], 0);
    fs::remove_all(folder);
}

// A layout written in place of another: a file the system will not let go of keeps what it
// held, and no file is left beside it; what is read is the bytes written.
TEST(ProgramLayout, WritesFilesWholeOrNotAtAll) {
    namespace fs = std::filesystem;
    using namespace std::string_literals;
    const fs::path folder =
        fs::temp_directory_path() / ("mk-written-" + std::to_string(GetCurrentProcessId()));
    const std::string piano = (folder / "Layouts" / "Piano.txt").string();
    const std::string fixed = (folder / "Layouts" / "Fixed.txt").string();
    WinLayoutFiles files;
    ASSERT_TRUE(files.WriteAll(piano, "Z = 48\r\n")) << "the folder is made";
    ASSERT_TRUE(files.WriteAll(piano, "Z = 50\r\n")) << "an existing file is replaced";
    EXPECT_EQ(files.ReadAll(piano).bytes, "Z = 50\r\n");
    const std::string bytes = "A = 60\r\nB\0 = 61\r\x1a\xff"s;
    ASSERT_TRUE(files.WriteAll(piano, bytes));
    EXPECT_EQ(files.ReadAll(piano).bytes, bytes) << "byte for byte";

    std::ofstream(fixed, std::ios::binary) << "Q = 60\r\n";
    SetFileAttributesW((folder / "Layouts" / "Fixed.txt").c_str(), FILE_ATTRIBUTE_READONLY);
    fs::create_directories(folder / "Layouts" / "Folder.txt");
    EXPECT_FALSE(files.WriteAll(fixed, "Q = 62\r\n"));
    EXPECT_FALSE(files.WriteAll((folder / "Layouts" / "Folder.txt").string(), "Q = 62\r\n"));
    EXPECT_EQ(files.ReadAll(fixed).bytes, "Q = 60\r\n");
    EXPECT_FALSE(files.Exists((folder / "Layouts" / "Folder.txt").string())) << "a folder";
    EXPECT_FALSE(files.ReadAll((folder / "Layouts" / "Missing.txt").string()).complete);
    size_t count = 0;
    for ([[maybe_unused]] const auto& entry : fs::directory_iterator(folder / "Layouts")) ++count;
    EXPECT_EQ(count, 3u) << "nothing left beside them";
    SetFileAttributesW((folder / "Layouts" / "Fixed.txt").c_str(), FILE_ATTRIBUTE_NORMAL);
    fs::remove_all(folder);
}

} // namespace

} // namespace zevaver

// The release packages as a user meets them: the installer run silently, per user and for
// all users, the installed program started from its folder and played, the uninstaller
// leaving nothing behind; the zip unpacked into a fresh folder runs the same way.
#include "ProgramUnderTest.h"
#include "mainwindow/win/KeysForm.h"
#include "services/SettingsDlgRules.h"

#include <shlobj.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace zevaver {

namespace fs = std::filesystem;

namespace {

const char* const UninstallKey =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\ZevaverMIDIKeyboard";
const char* const RunKey = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
const char* const AppName = "Zevaver MIDI Keyboard";

std::string Env(const char* name) {
    char buffer[MAX_PATH * 2];
    DWORD n = GetEnvironmentVariableA(name, buffer, sizeof buffer);
    return (n > 0 && n < sizeof buffer) ? std::string(buffer, n) : std::string();
}

fs::path PackageDir() {
    return Env("MK_PACKAGE_DIR");
}

fs::path FindIn(const fs::path& folder, const std::string& suffix) {
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(folder, error)) {
        std::string name = entry.path().filename().string();
        if (name.size() >= suffix.size() && name.ends_with(suffix)) return entry.path();
    }
    return {};
}

// Starts a program; its process, or none when it could not start.
fw::KernelHandle StartProcess(const std::string& commandLine) {
    STARTUPINFOA startup{sizeof startup};
    PROCESS_INFORMATION info{};
    std::string line = commandLine;
    if (!CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &info))
        return fw::KernelHandle();
    CloseHandle(info.hThread);
    return fw::KernelHandle(info.hProcess);
}

// Runs a program to its end; its exit code, or -1 when it could not start or hung.
int RunToEnd(const std::string& commandLine) {
    fw::KernelHandle process = StartProcess(commandLine);
    if (!process || WaitForSingleObject(process.get(), 60000) != WAIT_OBJECT_0) return -1;
    DWORD code = 0;
    GetExitCodeProcess(process.get(), &code);
    return static_cast<int>(code);
}

// A program and its arguments as one command line (appended piece by piece: GCC 12 warns
// wrongly about chained string concatenation here).
std::string Command(const fs::path& program, const std::string& arguments) {
    std::string line = "\"";
    line.append(program.string());
    line.append("\" ");
    line.append(arguments);
    return line;
}

// The uninstaller copies itself away and works from there, so its end is seen by what it
// removes: the folder first, the registration last.
constexpr int UninstallTimeoutMs = 30000;

bool KeyExists(HKEY root, const char* path) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(root, path, 0, KEY_READ | KEY_WOW64_64KEY, &key) != ERROR_SUCCESS)
        return false;
    RegCloseKey(key);
    return true;
}

std::string ReadString(HKEY root, const char* path, const char* name) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(root, path, 0, KEY_READ | KEY_WOW64_64KEY, &key) != ERROR_SUCCESS) return {};
    char buffer[MAX_PATH * 2] = {};
    DWORD size = sizeof buffer - 1;
    DWORD type = 0;
    LONG status =
        RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(buffer), &size);
    RegCloseKey(key);
    return status == ERROR_SUCCESS && type == REG_SZ ? std::string(buffer) : std::string();
}

void WriteString(HKEY root, const char* path, const char* name, const std::string& value) {
    HKEY key = nullptr;
    if (RegCreateKeyExA(root, path, 0, nullptr, 0, KEY_SET_VALUE | KEY_WOW64_64KEY, nullptr, &key,
                        nullptr) != ERROR_SUCCESS)
        return;
    RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                   static_cast<DWORD>(value.size() + 1));
    RegCloseKey(key);
}

void DeleteValue(HKEY root, const char* path, const char* name) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(root, path, 0, KEY_SET_VALUE | KEY_WOW64_64KEY, &key) != ERROR_SUCCESS)
        return;
    RegDeleteValueA(key, name);
    RegCloseKey(key);
}

// The user's Start-menu programs folder.
fs::path StartMenuPrograms() {
    char path[MAX_PATH] = {};
    return SUCCEEDED(SHGetFolderPathA(nullptr, CSIDL_PROGRAMS, nullptr, 0, path)) ? fs::path(path)
                                                                                  : fs::path();
}

// The main window of a running copy of the program (hidden too), or null.
HWND ProgramWindow() {
    return FindWindowA(TKeysForm::ClassName, nullptr);
}

// Closes a copy of the program as a user would and waits for its end.
bool CloseCopy(HWND window) {
    DWORD processId = 0;
    GetWindowThreadProcessId(window, &processId);
    fw::KernelHandle process(OpenProcess(SYNCHRONIZE, FALSE, processId));
    PostMessageA(window, WM_CLOSE, 0, 0);
    return process && WaitForSingleObject(process.get(), 15000) == WAIT_OBJECT_0;
}

// An installer or uninstaller worked through its pages as a user would. Whatever still runs
// of it when the test ends is ended.
class Wizard {
public:
    explicit Wizard(const char* caption) : caption_(caption) {}
    ~Wizard() {
        if (WaitForSingleObject(process_.get(), 0) == WAIT_TIMEOUT)
            TerminateProcess(process_.get(), 99);
    }
    Wizard(const Wizard&) = delete;
    Wizard& operator=(const Wizard&) = delete;

    // Its window (the caption may carry the page's name after the wizard's), or a message
    // box of it whose text holds the words.
    [[nodiscard]] HWND Appears(const std::string& words = {}) {
        HWND found = nullptr;
        e2e::WaitFor(
            [&] {
                for (HWND w = nullptr; (w = FindWindowExA(nullptr, w, "#32770", nullptr));)
                    if (IsWindowVisible(w) && e2e::WindowTitle(w).starts_with(caption_) &&
                        (words.empty() || e2e::BoxText(w).find(words) != std::string::npos))
                        return (found = w) != nullptr;
                return false;
            },
            30000);
        if (!found || !words.empty()) return found;
        DWORD processId = 0;
        GetWindowThreadProcessId(window_ = found, &processId);
        process_.reset(OpenProcess(SYNCHRONIZE | PROCESS_TERMINATE, FALSE, processId));
        return found;
    }

    // Waits until the forward button reads so and can be pressed, with the wizard in front;
    // the button, or null.
    [[nodiscard]] HWND Await(const std::string& caption) const {
        HWND button = GetDlgItem(window_, 1);
        if (!e2e::WaitFor(
                [&] { return e2e::WindowTitle(button) == caption && IsWindowEnabled(button); },
                30000))
            return nullptr;
        SetForegroundWindow(window_);
        e2e::WaitFor([] { return false; }, 300);
        return button;
    }

    // A control of the page shown.
    [[nodiscard]] HWND Control(const char* className) const {
        return FindWindowExA(FindWindowExA(window_, nullptr, "#32770", nullptr), nullptr, className,
                             nullptr);
    }

    [[nodiscard]] bool Ended() const {
        return e2e::WaitFor([&] { return !IsWindow(window_); }, 30000);
    }

private:
    const char* caption_;
    HWND window_ = nullptr;
    fw::KernelHandle process_;
};

void Press(std::initializer_list<WORD> keys) {
    for (WORD key : keys) e2e::Tap(key);
}

std::set<std::string> FilesUnder(const fs::path& folder) {
    std::set<std::string> files;
    std::error_code error;
    for (const auto& entry : fs::recursive_directory_iterator(folder, error))
        if (entry.is_regular_file()) files.insert(fs::relative(entry.path(), folder).string());
    return files;
}

// The test MIDI library beside a program folder for as long as it lives, so the program
// there records what it plays; taken away again so the folder holds only what was
// installed.
class TestMidiLibrary {
public:
    explicit TestMidiLibrary(const fs::path& folder) : path_(folder / "winmm.dll") {
        fs::copy_file(fs::path(Env("MK_STAGE_DIR")) / "winmm.dll", path_,
                      fs::copy_options::overwrite_existing);
    }
    ~TestMidiLibrary() {
        std::error_code ignored;
        fs::remove(path_, ignored);
    }
    TestMidiLibrary(const TestMidiLibrary&) = delete;
    TestMidiLibrary& operator=(const TestMidiLibrary&) = delete;

private:
    fs::path path_;
};

// Starts the program in its own folder, plays one key from another window and closes it.
void ExpectPlays(const fs::path& folder, const std::string& testName) {
    TestMidiLibrary midi(folder);
    e2e::ProgramUnderTest program(testName, folder.string());
    ASSERT_TRUE(program.Start());
    program.ClearMidiLog();
    e2e::ForeignWindow foreign;
    foreign.Activate();
    program.Settle(300);
    e2e::Tap('Z');
    program.WaitForShortMessages(2, 5000);
    EXPECT_EQ(program.ShortMessages(), (std::vector<uint32_t>{e2e::NoteOn(48), e2e::NoteOff(48)}));
    EXPECT_EQ(program.Close(), 0);
}

std::string ReadFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// The headings of a Markdown text as "level text", those inside fenced code left out.
std::vector<std::string> MarkdownHeadings(const std::string& markdown) {
    static const std::regex heading(R"(^(#{1,6})[ \t]+(.*?)[ \t#]*\r?$)");
    std::vector<std::string> headings;
    std::istringstream lines(markdown);
    bool inFence = false;
    for (std::string line; std::getline(lines, line);) {
        if (line.starts_with("```") || line.starts_with("~~~")) inFence = !inFence;
        std::smatch match;
        if (inFence || !std::regex_match(line, match, heading)) continue;
        std::string text;
        for (char c : match[2].str())
            if (c != '`' && c != '*') text += c;
        headings.push_back(std::to_string(match[1].length()) + " " + text);
    }
    return headings;
}

// The headings of an HTML page as "level text", their inner markup taken out.
std::vector<std::string> HtmlHeadings(const std::string& html) {
    static const std::regex heading(R"(<h([1-6])[^>]*>([\s\S]*?)</h\1>)");
    static const std::regex tag("<[^>]*>");
    std::vector<std::string> headings;
    for (std::sregex_iterator it(html.begin(), html.end(), heading), end; it != end; ++it) {
        std::string text = std::regex_replace((*it)[2].str(), tag, "");
        for (auto [entity, character] : {std::pair{"&lt;", "<"},
                                         {"&gt;", ">"},
                                         {"&quot;", "\""},
                                         {"&#39;", "'"},
                                         {"&amp;", "&"}}) {
            for (size_t at; (at = text.find(entity)) != std::string::npos;)
                text.replace(at, std::string_view(entity).size(), character);
        }
        headings.push_back((*it)[1].str() + " " + text);
    }
    return headings;
}

class Release : public ::testing::Test {
protected:
    void SetUp() override {
        if (PackageDir().empty() || !fs::exists(PackageDir()))
            GTEST_SKIP() << "no packages: tools/package makes them";
        setup_ = FindIn(PackageDir(), "-setup.exe");
        unzipped_ = FindIn(PackageDir() / "unzipped", "");
        ASSERT_FALSE(setup_.empty()) << "no installer in " << PackageDir();
        ASSERT_FALSE(unzipped_.empty()) << "no unpacked zip in " << PackageDir();
        e2e::ForgetSettings();
    }

    fs::path setup_;
    fs::path unzipped_;
};

TEST_F(Release, APerUserInstallPlaysAndItsSilentUninstallRemovesEveryFileButKeepsTheSettings) {
    fs::path folder = fs::temp_directory_path() / "mk-package" / "Per user folder";
    std::error_code ignored;
    fs::remove_all(folder, ignored);
    ASSERT_EQ(RunToEnd(Command(setup_, "/S /CurrentUser /D=" + folder.string())), 0);

    std::set<std::string> expected = FilesUnder(unzipped_);
    expected.insert("Uninstall.exe");
    EXPECT_EQ(FilesUnder(folder), expected);
    EXPECT_EQ(ReadString(HKEY_CURRENT_USER, UninstallKey, "InstallLocation"), folder.string());
    EXPECT_FALSE(ReadString(HKEY_CURRENT_USER, UninstallKey, "DisplayVersion").empty());

    ExpectPlays(folder, "PackagePerUser");
    ASSERT_TRUE(
        KeyExists(HKEY_CURRENT_USER, e2e::SettingsKey.c_str())); // the run kept its settings

    for (const char* file : {"Zevaver MIDI Keyboard.lnk", "Zevaver MIDI Keyboard User Guide.lnk"})
        EXPECT_TRUE(fs::exists(StartMenuPrograms() / file)) << file;

    // Installing over a running copy closes it first and then starts it again as it was:
    // in its window, or in the notification area (its window hidden).
    for (bool inTray : {false, true}) {
        SCOPED_TRACE(inTray ? "in the tray" : "in its window");
        TestMidiLibrary midi(folder);
        e2e::ProgramUnderTest running("PackageRunning", folder.string());
        ASSERT_TRUE(running.Start({}, inTray ? "/M" : ""));
        ASSERT_EQ(RunToEnd(Command(setup_, "/S /CurrentUser /D=" + folder.string())), 0);
        EXPECT_FALSE(running.Running());
        ASSERT_TRUE(e2e::WaitFor([] { return ProgramWindow() != nullptr; }, 15000));
        HWND again = ProgramWindow();
        DWORD processId = 0;
        GetWindowThreadProcessId(again, &processId);
        fw::KernelHandle process(
            OpenProcess(SYNCHRONIZE | PROCESS_QUERY_INFORMATION, FALSE, processId));
        WaitForInputIdle(process.get(), 10000);
        EXPECT_EQ(
            e2e::WaitFor([&] { return IsWindowVisible(again) != FALSE; }, inTray ? 1000 : 10000),
            !inTray);
        EXPECT_TRUE(CloseCopy(again));
    }
    EXPECT_EQ(FilesUnder(folder), expected);

    ASSERT_EQ(RunToEnd(Command(folder / "Uninstall.exe", "/S /CurrentUser")), 0);
    EXPECT_TRUE(e2e::WaitFor([&] { return !KeyExists(HKEY_CURRENT_USER, UninstallKey); },
                             UninstallTimeoutMs));
    EXPECT_FALSE(fs::exists(folder));
    EXPECT_TRUE(KeyExists(HKEY_CURRENT_USER, e2e::SettingsKey.c_str()));
    for (const char* file : {"Zevaver MIDI Keyboard.lnk", "Zevaver MIDI Keyboard User Guide.lnk"})
        EXPECT_FALSE(fs::exists(StartMenuPrograms() / file)) << file;
}

// The pages as a user works through them with the keyboard: a reinstall offers the
// autostart that an earlier install set up, and unticking it removes it; every component's
// label fits its list; the uninstaller's question keeps the settings when Enter answers it.
TEST_F(Release, AReinstallThatUnticksTheAutostartRemovesItAndEnterKeepsTheSettings) {
    fs::path folder = fs::temp_directory_path() / "mk-package" / "Interactive";
    std::error_code ignored;
    fs::remove_all(folder, ignored);
    WriteString(HKEY_CURRENT_USER, RunKey, AppName, Command(folder / "MIDIKeyboard.exe", "/M"));
    WriteString(HKEY_CURRENT_USER, e2e::SettingsKey.c_str(), "Skin", "Midnight");
    struct Cleanup {
        ~Cleanup() { DeleteValue(HKEY_CURRENT_USER, RunKey, AppName); }
    } cleanup;

    {
        Wizard setup("Zevaver MIDI Keyboard Setup");
        StartProcess(Command(setup_, "/CurrentUser /D=" + folder.string()));
        ASSERT_TRUE(setup.Appears());
        ASSERT_TRUE(setup.Await("I &Agree"));
        Press({VK_RETURN});
        // The install-mode page first, where the user may choose it, then the components.
        ASSERT_TRUE(setup.Await("&Next >"));
        if (!setup.Control("SysTreeView32")) Press({VK_RETURN});
        ASSERT_TRUE(e2e::WaitFor([&] { return setup.Control("SysTreeView32") != nullptr; }));
        EXPECT_FALSE(GetWindowLongA(setup.Control("SysTreeView32"), GWL_STYLE) & WS_HSCROLL)
            << "a component's label is wider than its list";
        // The second component is the autostart, found ticked: unticked.
        ASSERT_TRUE(setup.Await("&Next >"));
        Press({VK_DOWN, VK_SPACE, VK_RETURN});
        ASSERT_TRUE(setup.Await("&Install"));
        Press({VK_RETURN});
        ASSERT_TRUE(setup.Await("&Finish"));
        Press({VK_SPACE, VK_RETURN}); // without starting the program
        EXPECT_TRUE(setup.Ended());
    }
    EXPECT_TRUE(fs::exists(folder / "MIDIKeyboard.exe"));
    EXPECT_EQ(ReadString(HKEY_CURRENT_USER, RunKey, AppName), "") << "the autostart stayed";
    EXPECT_EQ(ProgramWindow(), nullptr);

    {
        Wizard uninstall("Zevaver MIDI Keyboard Uninstall");
        ASSERT_EQ(RunToEnd(Command(folder / "Uninstall.exe", "/CurrentUser")), 0);
        ASSERT_TRUE(uninstall.Appears());
        ASSERT_TRUE(uninstall.Await("&Uninstall"));
        Press({VK_RETURN});
        HWND question = uninstall.Appears("settings too?");
        ASSERT_NE(question, nullptr);
        SetForegroundWindow(question);
        e2e::WaitFor([] { return false; }, 300);
        Press({VK_RETURN});
        EXPECT_TRUE(e2e::WaitFor([&] { return !IsWindow(question); }));
        // Clicked: Enter there would press the focused "Show details".
        HWND close = uninstall.Await("&Close");
        ASSERT_TRUE(close);
        const RECT bounds = e2e::Bounds(close);
        e2e::MouseMoveTo((bounds.left + bounds.right) / 2, (bounds.top + bounds.bottom) / 2);
        e2e::MouseLeftDown();
        e2e::MouseLeftUp();
        EXPECT_TRUE(uninstall.Ended());
    }
    EXPECT_FALSE(fs::exists(folder));
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, UninstallKey));
    EXPECT_EQ(ReadString(HKEY_CURRENT_USER, e2e::SettingsKey.c_str(), "Skin"), "Midnight");
}

TEST_F(Release, AnAllUsersInstallGoesToProgramFilesAndCanTakeTheSettingsAlong) {
    ASSERT_EQ(RunToEnd(Command(setup_, "/S /AllUsers")), 0);
    fs::path folder = ReadString(HKEY_LOCAL_MACHINE, UninstallKey, "InstallLocation");
    ASSERT_FALSE(folder.empty());
    EXPECT_NE(folder.string().find("Program Files"), std::string::npos) << folder;
    EXPECT_TRUE(fs::exists(folder / "MIDIKeyboard.exe"));

    ExpectPlays(folder, "PackageAllUsers");

    ASSERT_EQ(RunToEnd(Command(folder / "Uninstall.exe", "/S /AllUsers /RemoveSettings")), 0);
    EXPECT_TRUE(
        e2e::WaitFor([&] { return !KeyExists(HKEY_CURRENT_USER, e2e::SettingsKey.c_str()); },
                     UninstallTimeoutMs));
    EXPECT_FALSE(fs::exists(folder));
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, UninstallKey));
}

TEST_F(Release, TheZipUnpackedIntoAFreshFolderPlays) {
    fs::path folder = fs::temp_directory_path() / "mk-package" / "unzipped";
    std::error_code ignored;
    fs::remove_all(folder, ignored);
    fs::create_directories(folder.parent_path());
    fs::copy(unzipped_, folder, fs::copy_options::recursive);
    for (const char* file : {"MIDIKeyboard.exe", "vivuvav.dll", "MIDIKeyboard User Guide.html",
                             "LICENSE.txt", "Layouts\\Piano.txt"})
        EXPECT_TRUE(fs::exists(folder / file)) << file;
    ExpectPlays(folder, "PackageZip");
    fs::remove_all(folder, ignored);
}

// The guide as shipped: every heading of its source is a heading of the page, at its level
// and in its order, and nothing else is (a code block read as text made its "#" lines
// headings); no Markdown is left as literal text.
TEST_F(Release, TheGuideShowsEveryHeadingOfItsSourceAndNoLiteralMarkdown) {
    const std::string html = ReadFile(unzipped_ / settingsdlg::UserGuideFile);
    ASSERT_FALSE(html.empty()) << "no guide in " << unzipped_;
    const std::string source = ReadFile(Env("MK_GUIDE_SOURCE"));
    ASSERT_FALSE(source.empty()) << "no guide source at " << Env("MK_GUIDE_SOURCE");

    EXPECT_EQ(html.find("```"), std::string::npos) << "a code fence left as text";
    EXPECT_EQ(html.find('`'), std::string::npos) << "a backtick left as text";
    const std::vector<std::string> expected = MarkdownHeadings(source);
    EXPECT_GT(expected.size(), 10u);
    EXPECT_EQ(HtmlHeadings(html), expected);
}

} // namespace

} // namespace zevaver

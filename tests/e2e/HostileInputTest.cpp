// The real program under Wine with what it reads broken on purpose: layout files that are
// empty, huge, garbage or a folder; registry values of every wrong type and of a megabyte;
// a program folder whose path the ANSI code page cannot express. Each time the program
// starts, names what it could not use, keeps running, plays and loses no other setting.
#include "ProgramUnderTest.h"

#include <gtest/gtest.h>

#include <algorithm>

#include <filesystem>
#include <fstream>
#include <functional>
#include <random>
#include <string>
#include <vector>

namespace zevaver {

namespace {

namespace fs = std::filesystem;
using e2e::NoteOff;
using e2e::NoteOn;
using e2e::ProgramUnderTest;
using Messages = std::vector<uint32_t>;

constexpr int NoteWidth = 16; // the factory zoom

void StoreRaw(const std::string& name, DWORD type, const std::string& bytes) {
    ASSERT_EQ(RegSetKeyValueA(HKEY_CURRENT_USER, e2e::SettingsKey.c_str(), name.c_str(), type,
                              bytes.data(), static_cast<DWORD>(bytes.size())),
              ERROR_SUCCESS)
        << name;
}

// Every message box the program shows, pressed away one after the other.
std::vector<std::string> DismissEveryMessageBox(const ProgramUnderTest& program) {
    std::vector<std::string> texts;
    for (std::string text; !(text = program.WaitForMessageBox(1500)).empty();) {
        texts.push_back(text);
        program.DismissMessageBox();
    }
    return texts;
}

// Z with another application in front, then a click on the first white key (of a program
// without skins, whose keyboard starts at the client area's corner).
Messages PlayZAndClickC(ProgramUnderTest& program) {
    e2e::ForeignWindow foreign;
    program.Settle(300);
    program.ClearMidiLog();
    e2e::Tap('Z');
    program.Settle(500);
    Messages played = program.ShortMessages();

    program.ClearMidiLog();
    RECT client{};
    GetClientRect(program.MainWindow(), &client);
    const POINT origin = e2e::ClientOrigin(program.MainWindow());
    const int y = client.bottom - 10;
    SetForegroundWindow(program.MainWindow());
    program.Settle();
    e2e::MouseMoveTo(origin.x + NoteWidth / 2, origin.y + y);
    e2e::MouseLeftDown();
    e2e::MouseLeftUp();
    program.WaitForShortMessages(2, 3000);
    const Messages clicked = program.ShortMessages();
    played.insert(played.end(), clicked.begin(), clicked.end());
    return played;
}

struct BrokenLayout {
    const char* what;
    std::function<void(const fs::path& file)> make;
    bool zPlays;
};

TEST(BrokenLayoutFiles, LeaveTheProgramRunningAndPlayingWhateverWholeEntriesTheyHold) {
    const auto write = [](const fs::path& file, const std::string& bytes) {
        std::ofstream(file, std::ios::binary | std::ios::trunc) << bytes;
    };
    const BrokenLayout cases[] = {
        {"empty", [&](const fs::path& file) { write(file, ""); }, false},
        {"10 MB, its one entry at the very end",
         [&](const fs::path& file) {
             std::string bytes;
             const std::string filler = "A remark that is no entry, padding the file out.\r\n";
             while (bytes.size() < 10'000'000) bytes += filler;
             write(file, bytes + "Z = 48\r\n");
         },
         true},
        {"binary garbage, then one entry",
         [&](const fs::path& file) {
             std::mt19937 random(16);
             std::string bytes(1 << 20, '\0');
             for (char& c : bytes) {
                 c = static_cast<char>(random() & 0xFF);
                 if (c == '\x1a') c = '\0'; // an end-of-file mark would hide the entry
             }
             write(file, bytes + "\nZ = 48\n");
         },
         true},
        {"a folder", [](const fs::path& file) { fs::create_directory(file); }, false},
    };
    e2e::ForgetSettings();
    int index = 0;
    for (const BrokenLayout& broken : cases) {
        SCOPED_TRACE(broken.what);
        ProgramUnderTest program("BrokenLayout" + std::to_string(index++));
        program.WithoutSkins(); // the keyboard then fills the client area
        const fs::path piano = program.ProgramFolder() / "Layouts" / "Piano.txt";
        fs::remove(piano);
        broken.make(piano);
        ASSERT_TRUE(program.Start());
        EXPECT_EQ(program.WaitForMessageBox(500), "");
        const Messages played = PlayZAndClickC(program);
        ASSERT_EQ(played.size(), broken.zPlays ? 4u : 2u);
        if (broken.zPlays) {
            EXPECT_EQ(played[0], NoteOn(48));
            EXPECT_EQ(played[1], NoteOff(48));
        }
        // The click on the first white key plays its C whatever the layout.
        EXPECT_EQ(played[played.size() - 2] & 0xFFFF, 0x3090u);
        EXPECT_EQ(played.back(), NoteOff(48));
        EXPECT_TRUE(program.Running());
        EXPECT_EQ(program.Close(), 0);
        EXPECT_EQ(e2e::StoredSetting("Layout"), "Piano");
    }
}

TEST(BrokenRegistryValues, OfEveryWrongTypeAreEachNamedOnceAndNoOtherSettingIsLost) {
    e2e::ForgetSettings();
    ProgramUnderTest program("WrongTypes");
    program.WithoutSkins(); // the keyboard then fills the client area
    ASSERT_TRUE(program.Start());
    program.Close();

    // One value for each type that is not a string, in the store's order.
    const std::pair<const char*, DWORD> wrong[] = {
        {"Skin", REG_NONE},
        {"Width", REG_DWORD},
        {"Height", REG_BINARY},
        {"Note Width", REG_QWORD},
        {"Device", REG_DWORD_BIG_ENDIAN},
        {"Pedal Key", REG_MULTI_SZ},
        {"Shortcut Base Octave C2", REG_LINK},
        {"Shortcuts Dialog Left", REG_RESOURCE_LIST},
        {"Vertical", REG_FULL_RESOURCE_DESCRIPTOR},
        {"Kill Keystrokes", REG_RESOURCE_REQUIREMENTS_LIST},
    };
    for (const auto& [name, type] : wrong)
        StoreRaw(name, type,
                 type == REG_MULTI_SZ ? std::string("17\0\0", 4) : std::string("\x11\0\0\0", 4));
    // Values that are right stay as they were; an expandable string is read literally.
    e2e::StoreSetting("Channel", "5");
    e2e::StoreSetting("Velocity", "20");
    StoreRaw("Enabled", REG_EXPAND_SZ, std::string("Yes\0", 4));

    ASSERT_TRUE(program.Start());
    std::vector<std::string> expected;
    for (const auto& [name, type] : wrong)
        expected.push_back("Invalid data type for '" + std::string(name) + "'");
    EXPECT_EQ(DismissEveryMessageBox(program), expected);
    EXPECT_TRUE(program.Running());

    const Messages played = PlayZAndClickC(program);
    ASSERT_EQ(played.size(), 4u);
    EXPECT_EQ(played[0], NoteOn(48, 107, 5));
    EXPECT_EQ(played[1], NoteOff(48, 5));
    EXPECT_EQ(program.Close(), 0);

    // Written back as strings: the fields that kept their values, and every other one.
    EXPECT_EQ(e2e::StoredSetting("Width"), "716");
    EXPECT_EQ(e2e::StoredSetting("Height"), "140");
    EXPECT_EQ(e2e::StoredSetting("Note Width"), "16");
    EXPECT_EQ(e2e::StoredSetting("Pedal Key"), "-1");
    EXPECT_EQ(e2e::StoredSetting("Shortcut Base Octave C2"), "16497");
    EXPECT_EQ(e2e::StoredSetting("Vertical"), "No");
    EXPECT_EQ(e2e::StoredSetting("Kill Keystrokes"), "Yes");
    EXPECT_EQ(e2e::StoredSetting("Channel"), "5");
    EXPECT_EQ(e2e::StoredSetting("Velocity"), "20");
    EXPECT_EQ(e2e::StoredSetting("Enabled"), "Yes");
}

TEST(BrokenRegistryValues, OfAMegabyteAreReadWithoutHarm) {
    e2e::ForgetSettings();
    ProgramUnderTest program("MegabyteValues");
    program.WithoutSkins(); // the keyboard then fills the client area
    ASSERT_TRUE(program.Start());
    program.Close();

    constexpr size_t Megabyte = 1 << 20;
    // A layout name that names no file falls back to "Piano"; a number that is no whole
    // integer reads as 0; a flag that is neither "Yes" nor "No", even without its closing
    // NUL, keeps its value; binary data of a megabyte is a wrong type like any other.
    StoreRaw("Layout", REG_SZ, std::string(Megabyte, 'L') + '\0');
    StoreRaw("Velocity", REG_SZ, std::string(Megabyte, '7') + '\0');
    StoreRaw("Enabled", REG_SZ, std::string(Megabyte, 'N'));
    StoreRaw("Shortcut Base Octave C3", REG_BINARY, std::string(Megabyte, '\x7f'));

    ASSERT_TRUE(program.Start());
    EXPECT_EQ(DismissEveryMessageBox(program),
              std::vector<std::string>{"Invalid data type for 'Shortcut Base Octave C3'"});
    const Messages played = PlayZAndClickC(program);
    ASSERT_EQ(played.size(), 4u);
    EXPECT_EQ(played[0], NoteOn(48));
    EXPECT_TRUE(program.Running());
    EXPECT_EQ(program.Close(), 0);
    EXPECT_EQ(e2e::StoredSetting("Layout"), "Piano");
    EXPECT_EQ(e2e::StoredSetting("Velocity"), "0");
    EXPECT_EQ(e2e::StoredSetting("Enabled"), "Yes");
    EXPECT_EQ(e2e::StoredSetting("Shortcut Base Octave C3"), "16498");
}

TEST(BrokenRegistryValues, NumbersAtTheEdgesOfTheirRangeLeaveTheProgramRunning) {
    e2e::ForgetSettings();
    ProgramUnderTest program("EdgeNumbers");
    program.WithoutSkins(); // the keyboard then fills the client area
    ASSERT_TRUE(program.Start());
    program.Close();
    const char* const names[] = {"Width",
                                 "Height",
                                 "Left",
                                 "Top",
                                 "Note Width",
                                 "Velocity",
                                 "Device",
                                 "Channel",
                                 "Base Octave",
                                 "Pedal Key",
                                 "Shortcuts Dialog Left",
                                 "Shortcuts Dialog Top"};
    for (const char* edge : {"2147483647", "-2147483648", "0"}) {
        SCOPED_TRACE(edge);
        for (const char* name : names) e2e::StoreSetting(name, edge);
        ASSERT_TRUE(program.Start());
        const std::vector<std::string> shown = DismissEveryMessageBox(program);
        for (const std::string& text : shown)
            EXPECT_EQ(text, "Selected MIDI port could't be opened.");
        DWORD_PTR ignored = 0;
        EXPECT_TRUE(
            SendMessageTimeoutA(program.MainWindow(), WM_NULL, 0, 0, SMTO_NORMAL, 10000, &ignored));
        EXPECT_TRUE(program.Running());
        EXPECT_EQ(program.Close(), 0);
    }
}

TEST(GarbageWatchMessages, LeaveTheProgramRunningResponsiveAndPlayable) {
    e2e::ForgetSettings();
    ProgramUnderTest program("GarbageWatchMessages");
    program.WithoutSkins(); // the keyboard then fills the client area
    ASSERT_TRUE(program.Start());
    const HWND receiver = e2e::WatchReceiver(program.ProcessId());
    ASSERT_NE(receiver, nullptr);
    const UINT kinds[] = {RegisterWindowMessageA("WATCH_KEY_EVENT"),
                          RegisterWindowMessageA("WATCH_MOUSE_EVENT"),
                          RegisterWindowMessageA("WATCH_SHELL_EVENT")};
    // The road the garbage takes is the one real keystrokes take.
    program.ClearMidiLog();
    PostMessageA(receiver, kinds[0], 'Z', 0x002C0001);
    PostMessageA(receiver, kinds[0], 'Z', static_cast<LPARAM>(0xC02C0001u));
    ASSERT_TRUE(program.WaitForShortMessages(2, 3000));
    EXPECT_EQ(program.ShortMessages(), (Messages{NoteOn(48), NoteOff(48)}));

    std::mt19937_64 random(16);
    for (int batch = 0; batch < 20; ++batch) {
        for (int i = 0; i < 250; ++i) {
            const UINT kind = kinds[random() % 3];
            // Key codes of the table half of the time, anything the other half.
            WPARAM wParam = random();
            if (kind == kinds[0] && (random() & 1)) wParam &= 0xFF;
            PostMessageA(receiver, kind, wParam, static_cast<LPARAM>(random()));
        }
        DWORD_PTR ignored = 0;
        ASSERT_TRUE(
            SendMessageTimeoutA(program.MainWindow(), WM_NULL, 0, 0, SMTO_NORMAL, 10000, &ignored))
            << "no answer after batch " << batch;
    }
    EXPECT_TRUE(program.Running());
    // A sent message overtakes posted ones, so the garbage may still be at work: wait until
    // it has stopped playing before the mouse plays.
    for (size_t before = SIZE_MAX, now = 0; (now = program.ShortMessages().size()) != before;
         before = now)
        program.Settle(300);
    // Whatever the garbage switched, the keyboard control still plays under the mouse.
    RECT client{};
    GetClientRect(program.MainWindow(), &client);
    const POINT origin = e2e::ClientOrigin(program.MainWindow());
    SetForegroundWindow(program.MainWindow());
    program.Settle();
    program.ClearMidiLog();
    e2e::MouseMoveTo(origin.x + NoteWidth / 2, origin.y + client.bottom - 10);
    e2e::MouseLeftDown();
    e2e::MouseLeftUp();
    ASSERT_TRUE(program.WaitForShortMessages(2, 3000));
    // A C, in whichever octave the garbage's shortcuts left the keyboard. Notes the garbage
    // left sounding may end around it, so the mouse's note is the last note-on.
    program.Settle(300);
    const Messages played = program.ShortMessages();
    const auto noteOn =
        std::find_if(played.rbegin(), played.rend(), [](uint32_t m) { return (m & 0xF0) == 0x90; });
    ASSERT_NE(noteOn, played.rend());
    EXPECT_EQ((*noteOn >> 8 & 0x7F) % 12, 0u);
    EXPECT_EQ(program.Close(), 0);
}

TEST(AwkwardFolders, AProgramFolderOutsideTheAnsiCodePageStillHoldsItsLibraryAndLayouts) {
    // A user name in Cyrillic and a folder in Chinese.
    const std::wstring awkward =
        L"\u041f\u043e\u043b\u044c\u0437\u043e\u0432\u0430\u0442\u0435\u043b\u044c\\"
        L"\u97f3\u4e50 MIDI";
    BOOL lossy = FALSE;
    char ansi[256] = {};
    WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, awkward.c_str(), -1, ansi, sizeof ansi,
                        nullptr, &lossy);
    ASSERT_TRUE(lossy) << "the ANSI code page expresses the folder name; the test proves nothing";

    e2e::ForgetSettings();
    ProgramUnderTest program("AwkwardFolder", awkward);
    program.WithoutSkins(); // the keyboard then fills the client area
    // Started from another folder, as a shortcut may do: it finds its own.
    ASSERT_TRUE(program.Start({}, "", program.TestFolder()));
    EXPECT_EQ(program.WaitForMessageBox(1000), ""); // no "Library vivuvav.dll not found."
    const Messages played = PlayZAndClickC(program);
    ASSERT_EQ(played.size(), 4u);
    EXPECT_EQ(played[0], NoteOn(48)); // from Layouts\Piano.txt beside the program
    EXPECT_EQ(played[1], NoteOff(48));
    EXPECT_EQ(program.Close(), 0);
}

} // namespace

} // namespace zevaver

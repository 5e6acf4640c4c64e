// Mapping keys in the real program through the real hook: a click on an on-screen key, then
// a computer key, written into the layout file at once and kept; and the keys' names.
#include "ProgramUnderTest.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

namespace zevaver {

namespace {

using e2e::NoteOff;
using e2e::NoteOn;
using e2e::ProgramUnderTest;
using Messages = std::vector<uint32_t>;

constexpr int NoteWidth = 16; // the factory zoom; the first key is C, note 48

class EditKeys : public ::testing::Test {
protected:
    void Start() {
        ASSERT_TRUE(program.Start());
        RECT client{};
        GetClientRect(program.MainWindow(), &client);
        depth = client.bottom;
        origin = e2e::ClientOrigin(program.MainWindow());
        Activate();
    }
    void Activate() const {
        SetForegroundWindow(program.MainWindow());
        program.Settle(300);
    }
    // The popup menu's item with this accelerator letter.
    void Menu(WORD letter) const {
        e2e::MouseMoveTo(origin.x + 40, origin.y + 30);
        program.Settle(100);
        e2e::MouseRightClick();
        program.Settle(400);
        e2e::Tap(letter);
        program.Settle(400);
    }
    // A click on the white key that is the given one from the left, below the black keys.
    void ClickWhiteKey(int index) const {
        e2e::MouseMoveTo(origin.x + index * NoteWidth + NoteWidth / 2, origin.y + depth - 10);
        program.Settle(100);
        e2e::MouseLeftDown();
        program.Settle(100);
        e2e::MouseLeftUp();
        program.Settle(200);
    }
    void Tap(WORD key) const {
        e2e::Tap(key);
        program.Settle(300);
    }
    // The user's own copy of a layout, "" while there is none.
    std::string Layout(const char* name = "Piano.txt") const {
        return Read(program.UserLayouts() / name);
    }
    std::string Shipped(const char* name = "Piano.txt") const {
        return Read(program.ProgramFolder() / "Layouts" / name);
    }
    static std::string Read(const std::filesystem::path& path) {
        std::ifstream file(path, std::ios::binary);
        std::stringstream text;
        text << file.rdbuf();
        return text.str();
    }
    // Pixels on a white key's lower part, where its name is written, that are not the
    // built-in white.
    int MarkedPixels(int index) const {
        int count = 0;
        for (int y = depth - 22; y < depth - 2; ++y)
            for (int x = index * NoteWidth + 2; x < (index + 1) * NoteWidth - 1; ++x)
                if (e2e::ScreenPixel(origin.x + x, origin.y + y) != RGB(255, 255, 255)) ++count;
        return count;
    }
    HWND WindowTitled(const std::string& title) const {
        HWND found = nullptr;
        e2e::WaitFor([&] {
            found = e2e::FindProcessWindow(program.ProcessId(), [&](HWND window) {
                return IsWindowVisible(window) && e2e::WindowTitle(window) == title;
            });
            return found != nullptr;
        });
        return found;
    }
    Messages Played(size_t expected) const {
        program.WaitForShortMessages(expected, 3000);
        program.Settle(300);
        return program.ShortMessages();
    }

    ProgramUnderTest program{"EditKeys"};
    int depth = 0;
    POINT origin{};
};

TEST_F(EditKeys, AClickAndAKeyMapItInTheFileAtOnceAndItPlaysSoAfterARestart) {
    e2e::ForgetSettings();
    program.WithoutSkins(); // the keyboard fills the client area in its built-in colours
    Start();
    const std::string shipped = Shipped();
    Menu('K'); // Edit keys
    program.ClearMidiLog();

    ClickWhiteKey(3); // F, note 53
    Tap('F');
    const std::string mapped = Layout();
    const size_t line = mapped.find("F = 53\n");
    ASSERT_NE(line, std::string::npos) << mapped;
    EXPECT_EQ(mapped.substr(0, line) + mapped.substr(line + 7), shipped) << "every other line kept";
    EXPECT_EQ(Shipped(), shipped) << "the user's own copy changes, never the shipped file";
    EXPECT_EQ(Played(2), (Messages{NoteOn(53, (depth - 10) * 127 / depth), NoteOff(53)}))
        << "the click plays, the key being mapped does not";

    ClickWhiteKey(4); // G, note 55: Q, which played 60, plays it now
    Tap('Q');
    const std::string remapped = Layout();
    EXPECT_EQ(remapped.find("Q = "), remapped.rfind("Q = ")) << "one line for Q";
    EXPECT_NE(remapped.find("Q = 55\n"), std::string::npos);

    Tap(VK_ESCAPE); // editing ends
    program.ClearMidiLog();
    Tap('F');
    Tap('Q');
    EXPECT_EQ(Played(4), (Messages{NoteOn(53), NoteOff(53), NoteOn(55), NoteOff(55)}));

    EXPECT_EQ(MarkedPixels(3), 0) << "no name on F's key yet";
    Menu('N'); // Key names
    EXPECT_GT(MarkedPixels(3), 0) << "F's name on its key";
    EXPECT_EQ(program.Close(), 0);

    Start();
    program.ClearMidiLog();
    Tap('F');
    EXPECT_EQ(Played(2), (Messages{NoteOn(53), NoteOff(53)}));
    EXPECT_EQ(e2e::StoredSetting("Key Names"), "Yes");
    EXPECT_GT(MarkedPixels(3), 0) << "the names are kept";
}

TEST_F(EditKeys, SaveLayoutAsCopiesTheLayoutWhichTheSettingsDialogListsAndChooses) {
    e2e::ForgetSettings();
    program.WithoutSkins();
    Start();
    Menu('A'); // Save layout as...
    HWND ask = WindowTitled("Save layout as");
    ASSERT_NE(ask, nullptr);
    program.ClearMidiLog();
    Tap('Z'); // typed into the name: no note
    EXPECT_TRUE(program.ShortMessages().empty());
    SetDlgItemTextW(ask, 101, L"My Piano"); // the name field
    PostMessageW(ask, WM_COMMAND, IDOK, 0);
    ASSERT_TRUE(e2e::WaitFor([&] { return !Layout("My Piano.txt").empty(); }));
    EXPECT_EQ(Layout("My Piano.txt"), Shipped());

    Activate();
    e2e::Tap(VK_F9);
    HWND settings = WindowTitled("Settings");
    ASSERT_NE(settings, nullptr);
    HWND list = GetDlgItem(settings, 113); // the layouts
    const LRESULT chosen = SendMessageW(list, CB_GETCURSEL, 0, 0);
    ASSERT_NE(chosen, CB_ERR);
    wchar_t name[64] = {};
    SendMessageW(list, CB_GETLBTEXT, static_cast<WPARAM>(chosen), reinterpret_cast<LPARAM>(name));
    EXPECT_EQ(std::wstring(name), L"My Piano") << "listed and chosen at once";
    PostMessageW(settings, WM_COMMAND, IDCANCEL, 0);
    program.Settle(300);
    EXPECT_EQ(program.Close(), 0);
    EXPECT_EQ(e2e::StoredSetting("Layout"), "My Piano");
}

} // namespace

} // namespace zevaver

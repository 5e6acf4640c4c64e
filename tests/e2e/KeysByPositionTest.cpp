// Keys by position in the real program through the real hook: a key as a German keyboard
// sends it, the input language changing, mapping a key, the defaults of a first run and of
// an upgrade; and the accessibility hot keys as the system reports them.
#include "ProgramUnderTest.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

namespace zevaver {

namespace {

using e2e::NoteOff;
using e2e::NoteOn;
using e2e::ProgramUnderTest;
using Messages = std::vector<uint32_t>;

// The key left of X: the US keyboard's Z, the German keyboard's Y.
constexpr WORD ZPlace = 0x2C;
// The notes of the shipped Piano layout for Z and Y.
constexpr int ZNote = 48;
constexpr int YNote = 69;

class KeysByPosition : public ::testing::Test {
protected:
    void Start() {
        ASSERT_TRUE(program.Start());
        other.Activate(); // the keys play into another application
        program.Settle(300);
        program.ClearMidiLog();
    }
    void Tap(WORD key, WORD scan) const {
        e2e::KeyDown(key, scan);
        e2e::KeyUp(key, scan);
        program.Settle(200);
    }
    Messages Played(size_t expected) const {
        program.WaitForShortMessages(expected, 3000);
        program.Settle(200);
        return program.ShortMessages();
    }

    ProgramUnderTest program{"KeysByPosition"};
    e2e::ForeignWindow other;
};

TEST_F(KeysByPosition, AGermanKeyboardsYPlaysTheLayoutsZByPositionAndItsYWhenOff) {
    e2e::ForgetSettings();
    Start();
    Tap('Y', ZPlace); // as a German keyboard sends it
    EXPECT_EQ(Played(2), (Messages{NoteOn(ZNote), NoteOff(ZNote)})) << "on for a new user";
    EXPECT_EQ(program.Close(), 0);
    EXPECT_EQ(e2e::StoredSetting("Keys By Position"), "Yes");

    e2e::StoreSetting("Keys By Position", "No");
    Start();
    Tap('Y', ZPlace);
    EXPECT_EQ(Played(2), (Messages{NoteOn(YNote), NoteOff(YNote)}));
    EXPECT_EQ(program.Close(), 0);
}

TEST_F(KeysByPosition, TheSameKeyPlaysTheSameNoteWhenTheInputLanguageChanges) {
    e2e::ForgetSettings();
    Start();
    Tap('Z', ZPlace); // the focused window types English
    // It switches to German: the same key now gives the code of Y.
    HKL german = LoadKeyboardLayoutW(L"00000407", 0);
    if (german) ActivateKeyboardLayout(german, 0);
    Tap('Y', ZPlace);
    // The language changes while the key is held: its release still ends the note.
    e2e::KeyDown('Z', ZPlace);
    e2e::KeyUp('Y', ZPlace);
    EXPECT_EQ(Played(6), (Messages{NoteOn(ZNote), NoteOff(ZNote), NoteOn(ZNote), NoteOff(ZNote),
                                   NoteOn(ZNote), NoteOff(ZNote)}));
    EXPECT_EQ(program.Close(), 0);
}

TEST_F(KeysByPosition, AnUpgradeKeepsKeysByTheirCodes) {
    e2e::ForgetSettings();
    e2e::StoreSetting("Skin", "Zevizi"); // settings of an earlier version
    Start();
    Tap('Y', ZPlace);
    EXPECT_EQ(Played(2), (Messages{NoteOn(YNote), NoteOff(YNote)}));
    EXPECT_EQ(program.Close(), 0);
    EXPECT_EQ(e2e::StoredSetting("Keys By Position"), "No");
}

TEST_F(KeysByPosition, EditKeysWritesThePlaceAsTheUsLayoutNamesIt) {
    e2e::ForgetSettings();
    program.WithoutSkins(); // the keyboard fills the client area in its built-in colours
    ASSERT_TRUE(program.Start());
    const HWND window = program.MainWindow();
    RECT client{};
    GetClientRect(window, &client);
    const POINT origin = e2e::ClientOrigin(window);
    SetForegroundWindow(window);
    program.Settle(300);
    e2e::MouseMoveTo(origin.x + 40, origin.y + 30);
    program.Settle(100);
    e2e::MouseRightClick();
    program.Settle(400);
    e2e::Tap('K'); // Edit keys
    program.Settle(400);
    // The white key of G, note 55, below the black keys.
    e2e::MouseMoveTo(origin.x + 4 * 16 + 8, origin.y + client.bottom - 10);
    program.Settle(100);
    e2e::MouseLeftDown();
    program.Settle(100);
    e2e::MouseLeftUp();
    program.Settle(200);
    Tap('Y', ZPlace);

    std::ifstream file(program.UserLayouts() / "Piano.txt", std::ios::binary);
    std::stringstream text;
    text << file.rdbuf();
    EXPECT_NE(text.str().find("\nZ = 55"), std::string::npos) << text.str();
    EXPECT_EQ(text.str().find("\nY = 55"), std::string::npos);
    EXPECT_EQ(program.Close(), 0);
}

// The features' flags as the system reports them: where it keeps them, a hot key the user
// does not use is off while the program runs and back afterwards; Wine keeps none, and then
// nothing changes.
TEST_F(KeysByPosition, TheAccessibilityHotKeysAreOffWhileTheProgramRunsAndBackAfter) {
    const auto flags = [] {
        STICKYKEYS sticky{sizeof sticky};
        FILTERKEYS filter{sizeof filter};
        TOGGLEKEYS toggle{sizeof toggle};
        SystemParametersInfoW(SPI_GETSTICKYKEYS, sizeof sticky, &sticky, 0);
        SystemParametersInfoW(SPI_GETFILTERKEYS, sizeof filter, &filter, 0);
        SystemParametersInfoW(SPI_GETTOGGLEKEYS, sizeof toggle, &toggle, 0);
        return std::vector<DWORD>{sticky.dwFlags, filter.dwFlags, toggle.dwFlags};
    };
    const auto expectedWhileRunning = [](std::vector<DWORD> before) {
        for (DWORD& f : before)
            if ((f & 1) == 0 && (f & 4) != 0) f &= ~DWORD{0x0C};
        return before;
    };
    e2e::ForgetSettings();
    const std::vector<DWORD> before = flags();
    Start();
    EXPECT_EQ(flags(), expectedWhileRunning(before));
    EXPECT_EQ(program.Close(), 0);
    EXPECT_EQ(flags(), before);
    // Written down while they were off, taken back at exit.
    const bool anyOff = expectedWhileRunning(before) != before;
    EXPECT_EQ(e2e::StoredSetting("Accessibility Hot Keys Off"), anyOff ? "" : "<missing>");
}

} // namespace

} // namespace zevaver

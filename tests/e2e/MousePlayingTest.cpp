// The real program under Wine, played with the mouse: the exact short messages that
// reach the MIDI library, and what the keys look like on the screen meanwhile.
#include "ProgramUnderTest.h"

#include <gtest/gtest.h>

namespace zevaver {

namespace {

using e2e::ProgramUnderTest;

constexpr int NoteWidth = 16; // the factory zoom
constexpr COLORREF White = RGB(255, 255, 255);
constexpr COLORREF PressedWhite = RGB(192, 192, 192);
constexpr COLORREF Black = RGB(0, 0, 0);
constexpr COLORREF PressedBlack = RGB(112, 112, 112);

class MousePlaying : public ::testing::Test {
protected:
    void SetUp() override {
        e2e::ForgetSettings();
        program.WithoutSkins(); // the keyboard fills the client area in its built-in colours
        ASSERT_TRUE(program.Start());
        ASSERT_TRUE(IsWindowVisible(program.MainWindow()));
        RECT client{};
        GetClientRect(program.MainWindow(), &client);
        depth = client.bottom;
        origin = e2e::ClientOrigin(program.MainWindow());
        SetForegroundWindow(program.MainWindow());
        program.Settle();
    }

    POINT At(int x, int y) const { return {origin.x + x, origin.y + y}; }
    void MoveTo(int x, int y) const {
        POINT p = At(x, y);
        e2e::MouseMoveTo(p.x, p.y);
        program.Settle(100);
    }
    COLORREF Pixel(int x, int y) const {
        POINT p = At(x, y);
        return e2e::ScreenPixel(p.x, p.y);
    }

    ProgramUnderTest program{"MousePlaying"};
    int depth = 0;
    POINT origin{};
};

TEST_F(MousePlaying, AFirstStartOpensDeviceZero) {
    bool opened = false;
    for (const auto& call : program.MidiCalls())
        if (call.name == "midiOutOpen" && call.device == 0) opened = true;
    EXPECT_TRUE(opened);
}

TEST_F(MousePlaying, PressDragAndReleaseSendExactlyTheirNotesAndShowThem) {
    const int y = depth - 10; // below the black keys: white keys only
    const int velocity = y * 127 / depth;

    MoveTo(NoteWidth / 2, y); // the first C, note 48 at base octave C4
    e2e::MouseLeftDown();
    ASSERT_TRUE(program.WaitForShortMessages(1));
    program.Settle();
    EXPECT_EQ(Pixel(4, depth - 4), PressedWhite);
    EXPECT_EQ(Pixel(NoteWidth + 8, depth - 4), White);

    MoveTo(NoteWidth + NoteWidth / 2, y); // drag onto D
    ASSERT_TRUE(program.WaitForShortMessages(3));
    program.Settle();
    EXPECT_EQ(Pixel(4, depth - 4), White);
    EXPECT_EQ(Pixel(NoteWidth + 8, depth - 4), PressedWhite);

    e2e::MouseLeftUp();
    ASSERT_TRUE(program.WaitForShortMessages(4));
    program.Settle();
    EXPECT_EQ(Pixel(NoteWidth + 8, depth - 4), White);

    EXPECT_EQ(program.ShortMessages(),
              (std::vector<uint32_t>{e2e::NoteOn(48, velocity), e2e::NoteOff(48),
                                     e2e::NoteOn(50, velocity), e2e::NoteOff(50)}));
}

TEST_F(MousePlaying, ABlackKeyPlaysItsSharpWithTheVelocityOfItsOwnLength) {
    const int blackDepth = depth * 62 / 100;
    const int y = 5;
    MoveTo(NoteWidth, y); // the C sharp straddles the line between C and D
    EXPECT_EQ(Pixel(NoteWidth, 2), Black);
    e2e::MouseLeftDown();
    ASSERT_TRUE(program.WaitForShortMessages(1));
    program.Settle();
    EXPECT_EQ(Pixel(NoteWidth, 2), PressedBlack);
    e2e::MouseLeftUp();
    ASSERT_TRUE(program.WaitForShortMessages(2));
    EXPECT_EQ(program.ShortMessages(),
              (std::vector<uint32_t>{e2e::NoteOn(49, y * 127 / blackDepth), e2e::NoteOff(49)}));
}

TEST_F(MousePlaying, ClosingResetsAndClosesThePort) {
    program.Close();
    auto calls = program.MidiCalls();
    ASSERT_GE(calls.size(), 2u);
    EXPECT_EQ(calls[calls.size() - 2].name, "midiOutReset");
    EXPECT_EQ(calls.back().name, "midiOutClose");
}

} // namespace

} // namespace zevaver

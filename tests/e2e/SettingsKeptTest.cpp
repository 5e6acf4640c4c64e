// What the program keeps between runs, driven as a user would: the window's place and
// size, and the device, channel, octave and pedal chosen from the popup menu.
#include "ProgramUnderTest.h"

#include <gtest/gtest.h>

namespace zevaver {

namespace {

using e2e::Bounds;
using e2e::ProgramUnderTest;

// Opens the popup menu over the keyboard and walks it with the keyboard: an accelerator
// letter opens a submenu with its first item selected.
void OpenMenu(const ProgramUnderTest& program) {
    POINT origin = e2e::ClientOrigin(program.MainWindow());
    e2e::MouseMoveTo(origin.x + 40, origin.y + 30);
    program.Settle(100);
    e2e::MouseRightClick();
    program.Settle(400);
}

void Keys(const ProgramUnderTest& program, std::initializer_list<WORD> keys) {
    for (WORD key : keys) {
        e2e::Tap(key);
        program.Settle(150);
    }
}

TEST(SettingsKept, TheWindowComesBackWhereAndAsLargeAsItWasLeft) {
    e2e::ForgetSettings();
    ProgramUnderTest program("WindowKept");
    ASSERT_TRUE(program.Start());
    SetWindowPos(program.MainWindow(), nullptr, 123, 234, 600, 180, SWP_NOZORDER);
    program.Settle();
    const RECT moved = Bounds(program.MainWindow());
    EXPECT_EQ(program.Close(), 0);

    ASSERT_TRUE(program.Start());
    const RECT restored = Bounds(program.MainWindow());
    EXPECT_EQ(restored.left, moved.left);
    EXPECT_EQ(restored.top, moved.top);
    EXPECT_EQ(restored.right - restored.left, moved.right - moved.left);
    EXPECT_EQ(restored.bottom - restored.top, moved.bottom - moved.top);
}

TEST(SettingsKept, DeviceChannelOctaveAndPedalChosenFromTheMenuAreUsedAndRestored) {
    e2e::ForgetSettings();
    ProgramUnderTest program("MenuChoicesKept");
    program.WithoutSkins(); // the keyboard fills the client area
    e2e::MidiSetup threeDevices{3, "Synth A|Synth B|Synth C", ""};
    ASSERT_TRUE(program.Start(threeDevices));

    OpenMenu(program);
    Keys(program, {'D', VK_DOWN, VK_DOWN, VK_RETURN}); // mapper, device 0, device 1
    OpenMenu(program);
    Keys(program, {'C', VK_UP, VK_RETURN}); // up from "1" wraps round to "16"
    OpenMenu(program);
    Keys(program, {'B', '5', VK_RETURN}); // base octave C&5
    OpenMenu(program);
    Keys(program, {'P', 'S'}); // Use &Shift

    EXPECT_EQ(e2e::StoredSetting("Device"), "<missing>") << "nothing is written before exit";
    program.ClearMidiLog();
    POINT origin = e2e::ClientOrigin(program.MainWindow());
    RECT client{};
    GetClientRect(program.MainWindow(), &client);
    const int y = client.bottom - 10;
    e2e::MouseMoveTo(origin.x + 8, origin.y + y); // the first white key: C5, note 60
    program.Settle(100);
    e2e::MouseLeftDown();
    e2e::MouseLeftUp();
    ASSERT_TRUE(program.WaitForShortMessages(2));
    const uint32_t velocity = static_cast<uint32_t>(y * 127 / client.bottom);
    EXPECT_EQ(program.ShortMessages(),
              (std::vector<uint32_t>{0x9Fu | (60u << 8) | (velocity << 16), 0x8Fu | (60u << 8)}));
    EXPECT_EQ(program.Close(), 0);
    EXPECT_EQ(e2e::StoredSetting("Device"), "1");
    EXPECT_EQ(e2e::StoredSetting("Channel"), "16");
    EXPECT_EQ(e2e::StoredSetting("Base Octave"), "12");
    EXPECT_EQ(e2e::StoredSetting("Pedal Key"), "16");

    program.ClearMidiLog();
    ASSERT_TRUE(program.Start(threeDevices));
    int openedDevice = -99;
    for (const auto& call : program.MidiCalls())
        if (call.name == "midiOutOpen") openedDevice = call.device;
    EXPECT_EQ(openedDevice, 1);
    e2e::MouseMoveTo(origin.x + 8, origin.y + y);
    program.Settle(100);
    e2e::MouseLeftDown();
    e2e::MouseLeftUp();
    ASSERT_TRUE(program.WaitForShortMessages(2));
    EXPECT_EQ(program.ShortMessages(),
              (std::vector<uint32_t>{0x9Fu | (60u << 8) | (velocity << 16), 0x8Fu | (60u << 8)}));
    EXPECT_EQ(program.Close(), 0);
    EXPECT_EQ(e2e::StoredSetting("Pedal Key"), "16");
}

TEST(SettingsKept, WithNoDeviceTheProgramSaysSoAndStillRuns) {
    e2e::ForgetSettings();
    ProgramUnderTest program("NoDevice");
    ASSERT_TRUE(program.Start({0, "", "all"}));
    std::string caption;
    EXPECT_EQ(program.WaitForMessageBox(5000, &caption),
              "There is no MIDI output on this computer. Nothing plays until one is connected.");
    EXPECT_EQ(caption, "Error");
    program.DismissMessageBox();
    program.Settle(300);
    EXPECT_TRUE(program.Running());
    EXPECT_EQ(program.Close(), 0);
}

} // namespace

} // namespace zevaver

// The rules by which the input watch and its hook library encode what they pass on.
#include "services/WatchEvents.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>

namespace zevaver {

using namespace watch;

namespace {

RawKeystroke Down(uint32_t key, uint32_t scan, bool extended = false) {
    return {key, scan, 0, extended, false};
}
RawKeystroke Up(uint32_t key, uint32_t scan, bool extended = false) {
    return {key, scan, 0, extended, true};
}

TEST(WatchKeyMessages, CarryEachTransitionWithThePlatformsKeyFlags) {
    // Keystroke; wParam and lParam expected, one tracker throughout.
    const std::tuple<RawKeystroke, int32_t, uint32_t> rows[] = {
        // Press, auto-repeat, release; a release always has the previous-state bit.
        {Down('A', 0x1E), 'A', 0x001E0001},
        {Down('A', 0x1E), 'A', 0x401E0001},
        {Up('A', 0x1E), 'A', 0xC01E0001},
        {Up('Q', 0x10), 'Q', 0xC0100001},
        // Sided modifiers become 16, 17, 18; neither Shift is extended nor repeats the other.
        {Down(VkLeftShift, 0x2A), 16, 0x002A0001},
        {Down(VkRightShift, 0x36, true), 16, 0x00360001},
        {Up(VkRightShift, 0x36, true), 16, 0xC0360001},
        {Up(VkLeftShift, 0x2A), 16, 0xC02A0001},
        {Down(VkRightControl, 0x1D, true), 17, 0x011D0001},
        {Up(VkRightControl, 0x1D, true), 17, 0xC11D0001},
        // Alt context from Alt's own press until its release.
        {Down(VkLeftMenu, 0x38), 18, 0x20380001},
        {Down('A', 0x1E), 'A', 0x201E0001},
        {Up('A', 0x1E), 'A', 0xE01E0001},
        {Up(VkLeftMenu, 0x38), 18, 0xC0380001},
        {Down(VkRightMenu, 0x38, true), 18, 0x21380001},
        {Up(VkRightMenu, 0x38, true), 18, 0xC1380001},
        // A missing scan code comes from the platform's map without any prefix byte, and
        // for Shift from its own codes; a missing key from the scan code's map.
        {{'A', 0, 0x1E}, 'A', 0x001E0001},
        {{'A', 0x1F, 0x1E, false, true}, 'A', 0xC01F0001},
        {{VkRightControl, 0, 0xE01D, true}, 17, 0x011D0001},
        {{VkRightShift, 0, 0}, 16, 0x00360001},
        {{VkShift, 0, 0}, 16, 0x002A0001},
        {{0, 0x36, 0, false, true, VkRightShift}, 16, 0xC0360001},
        {{'B', 0x30, 0, false, false, 'Z'}, 'B', 0x00300001},
        // Only a scan code's low byte travels: one that is 0 there counts as missing.
        {{VkRightShift, 0x100, 0, false, true}, 16, 0xC0360001},
        {{VkLeftShift, 0xE000, 0xE000}, 16, 0x002A0001},
        {{'C', 0x100, 0x2E, false, true}, 'C', 0xC02E0001},
        // Codes beyond the table pass without being tracked.
        {Down(300, 0x10), 300, 0x00100001},
        {Down(300, 0x10), 300, 0x00100001},
    };
    KeyStateTracker tracker;
    for (size_t i = 0; i < std::size(rows); ++i) {
        const auto& [keystroke, wParam, lParam] = rows[i];
        const KeyMessage message = tracker.Apply(keystroke);
        EXPECT_EQ(message.wParam, wParam) << "row " << i;
        EXPECT_EQ(static_cast<uint32_t>(message.lParam), lParam) << std::hex << "row " << i;
    }
}

TEST(WatchKeyMessages, TreatHeldKeysAsUpAfterAReset) {
    KeyStateTracker tracker;
    (void)tracker.Apply(Down(VkLeftMenu, 0x38));
    (void)tracker.Apply(Down('A', 0x1E));
    tracker.Reset();
    EXPECT_EQ(tracker.Apply(Down('A', 0x1E)).lParam, 0x001E0001);
}

TEST(WatchMouseMessages, MapEveryLowNibbleToItsEvent) {
    using A = MouseAction;
    using B = MouseButton;
    const std::pair<uint32_t, MouseEvent> rows[] = {
        {0x200, {A::Move, B::Left}},        {0x201, {A::Down, B::Left}},
        {0x202, {A::Up, B::Left}},          {0x203, {A::Down, B::Left, true}},
        {0x204, {A::Down, B::Right}},       {0x205, {A::Up, B::Right}},
        {0x206, {A::Down, B::Right, true}}, {0x207, {A::Down, B::Middle}},
        {0x208, {A::Up, B::Middle}},        {0x209, {A::Down, B::Middle, true}},
        {0x20A, {A::Down, B::Left}},        {0x20B, {A::Down, B::Left}},
        {0x20C, {A::Down, B::Left}},        {0x20D, {A::Down, B::Left}},
        {0x20E, {A::Down, B::Left}},        {0x20F, {A::Down, B::Left}},
        {0xFFF1, {A::Down, B::Left}},       {0x5, {A::Up, B::Right}},
    };
    for (auto [message, event] : rows) {
        event.x = 100;
        event.y = 200;
        EXPECT_EQ(DecodeMouse(message, 0x00C80064), event) << std::hex << message;
    }
}

// Monitors left of or above the primary one lie at negative screen coordinates.
TEST(WatchMouseMessages, CarryThePositionAsTwoSignedSixteenBitHalves) {
    EXPECT_EQ(MousePositionParam(100, 200), 0x00C80064u);
    EXPECT_EQ(MousePositionParam(-1, -2), 0xFFFEFFFFu);
    EXPECT_EQ(MousePositionParam(0x12345, 0x10002), 0x00022345u);
    for (auto [x, y] : {std::pair{-1, -2}, {-1920, 300}, {500, -1080}, {32767, -32768}}) {
        const MouseEvent event = DecodeMouse(0x202, MousePositionParam(x, y));
        EXPECT_EQ(std::pair(event.x, event.y), std::pair(x, y));
    }
}

TEST(WatchShellEvents, ComeFromWindowCreationDestructionAndForegroundOnly) {
    EXPECT_EQ(ShellCodeForWinEvent(0x8000), 1);
    EXPECT_EQ(ShellCodeForWinEvent(0x8001), 2);
    EXPECT_EQ(ShellCodeForWinEvent(0x0003), 4);
    for (uint32_t event : {0x0000u, 0x0001u, 0x8002u, 0x800Bu, 0x0016u})
        EXPECT_EQ(ShellCodeForWinEvent(event), 0) << event;
}

TEST(WatchShellEvents, CarryTitlesOfAtMost299Characters) {
    EXPECT_EQ(CutTitle(std::string(400, 'x')), std::string(299, 'x'));
    EXPECT_EQ(CutTitle("Notepad"), "Notepad");
}

TEST(WatchShellEvents, DropAnActivationWithTheLastTitleUnlessRepeatsAreWanted) {
    ActivationFilter filter;
    EXPECT_FALSE(filter.ShouldReport("", false)) << "the last title starts out empty";
    EXPECT_TRUE(filter.ShouldReport("Editor", false));
    EXPECT_FALSE(filter.ShouldReport("Editor", false));
    EXPECT_TRUE(filter.ShouldReport("Editor", true));
    EXPECT_TRUE(filter.ShouldReport("editor", false)) << "comparison is case-sensitive";
}

TEST(WatchLibraryPath, IsBesideTheModuleAndNeverABareName) {
    EXPECT_EQ(PathBeside("C:\\Program\\MIDIKeyboard.exe", "vivuvav.dll"),
              "C:\\Program\\vivuvav.dll");
    EXPECT_EQ(PathBeside("C:\\a/b\\c.exe", "d.dll"), "C:\\a/b\\d.dll");
    EXPECT_EQ(PathBeside("MIDIKeyboard.exe", "vivuvav.dll"), "");
}

} // namespace

} // namespace zevaver

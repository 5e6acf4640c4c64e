#include "services/WatchEvents.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace watch;

namespace {

RawKeystroke Down(uint32_t key, uint32_t scan, bool extended = false) {
    return {key, scan, 0, extended, false};
}
RawKeystroke Up(uint32_t key, uint32_t scan, bool extended = false) {
    return {key, scan, 0, extended, true};
}

struct KeySequenceCase {
    const char* name;
    std::vector<RawKeystroke> keystrokes;
    std::vector<KeyMessage> expected;
};

class KeyMessageComposition : public testing::TestWithParam<KeySequenceCase> {};

TEST_P(KeyMessageComposition, ReportsEachTransitionWithThePlatformKeyFlags) {
    KeyStateTracker tracker;
    std::vector<KeyMessage> messages;
    for (const RawKeystroke& keystroke : GetParam().keystrokes)
        messages.push_back(tracker.Apply(keystroke));
    ASSERT_EQ(messages.size(), GetParam().expected.size());
    for (size_t i = 0; i < messages.size(); ++i) {
        EXPECT_EQ(messages[i].wParam, GetParam().expected[i].wParam) << "message " << i;
        EXPECT_EQ(static_cast<uint32_t>(messages[i].lParam),
                  static_cast<uint32_t>(GetParam().expected[i].lParam))
            << std::hex << "message " << i;
    }
}

constexpr int32_t L(uint32_t flags) {
    return static_cast<int32_t>(flags);
}

INSTANTIATE_TEST_SUITE_P(
    Sequences, KeyMessageComposition,
    testing::Values(
        KeySequenceCase{"PressRepeatRelease",
                        {Down('A', 0x1E), Down('A', 0x1E), Down('A', 0x1E), Up('A', 0x1E)},
                        {{'A', L(0x001E0001)},
                         {'A', L(0x401E0001)},
                         {'A', L(0x401E0001)},
                         {'A', L(0xC01E0001)}}},
        KeySequenceCase{
            "LeftAndRightShiftBecomeSixteenWithTheirScanCodes",
            {Down(VkLeftShift, 0x2A), Down(VkRightShift, 0x36), Up(VkRightShift, 0x36),
             Up(VkLeftShift, 0x2A)},
            {{16, L(0x002A0001)}, {16, L(0x00360001)}, {16, L(0xC0360001)}, {16, L(0xC02A0001)}}},
        KeySequenceCase{"RightShiftNeverCarriesTheExtendedBit",
                        {Down(VkRightShift, 0x36, true), Up(VkRightShift, 0x36, true)},
                        {{16, L(0x00360001)}, {16, L(0xC0360001)}}},
        KeySequenceCase{
            "SidedControlAndAltBecomeGenericCodes",
            {Down(VkLeftControl, 0x1D), Down(VkRightControl, 0x1D, true),
             Up(VkRightControl, 0x1D, true), Up(VkLeftControl, 0x1D)},
            {{17, L(0x001D0001)}, {17, L(0x011D0001)}, {17, L(0xC11D0001)}, {17, L(0xC01D0001)}}},
        KeySequenceCase{"AltContextCoversAltsOwnPressAndKeysWhileHeldButNotItsRelease",
                        {Down(VkLeftMenu, 0x38), Down('A', 0x1E), Up('A', 0x1E),
                         Up(VkLeftMenu, 0x38), Down('A', 0x1E)},
                        {{18, L(0x20380001)},
                         {'A', L(0x201E0001)},
                         {'A', L(0xE01E0001)},
                         {18, L(0xC0380001)},
                         {'A', L(0x001E0001)}}},
        KeySequenceCase{
            "RightAltIsExtendedAndHoldsTheAltContext",
            {Down(VkRightMenu, 0x38, true), Down('B', 0x30), Up(VkRightMenu, 0x38, true)},
            {{18, L(0x21380001)}, {'B', L(0x20300001)}, {18, L(0xC1380001)}}},
        KeySequenceCase{"ReleaseOfAKeyNeverSeenDownStillCarriesThePreviousStateBit",
                        {Up('Q', 0x10)},
                        {{'Q', L(0xC0100001)}}},
        KeySequenceCase{
            "OneShiftHeldDoesNotMarkTheOthersPressAsARepeat",
            {Down(VkLeftShift, 0x2A), Down(VkLeftShift, 0x2A), Down(VkRightShift, 0x36)},
            {{16, L(0x002A0001)}, {16, L(0x402A0001)}, {16, L(0x00360001)}}}),
    [](const testing::TestParamInfo<KeySequenceCase>& info) { return info.param.name; });

TEST(KeyStateTracker, FillsAMissingScanCodeFromThePlatformMapThenForShiftFromItsOwnCodes) {
    KeyStateTracker tracker;
    EXPECT_EQ(tracker.Apply({'A', 0, 0x1E, false, false}).lParam, 0x001E0001);
    EXPECT_EQ(tracker.Apply({'A', 0x1F, 0x1E, false, true}).lParam, L(0xC01F0001));
    EXPECT_EQ(tracker.Apply({VkRightShift, 0, 0, false, false}).lParam, 0x00360001);
    EXPECT_EQ(tracker.Apply({VkLeftShift, 0, 0, false, false}).lParam, 0x002A0001);
    EXPECT_EQ(tracker.Apply({VkShift, 0, 0, false, false}).lParam, 0x002A0001);
    // Extended scan codes from the platform map carry a prefix byte that has no place here.
    EXPECT_EQ(tracker.Apply({VkRightControl, 0, 0xE01D, true, false}).lParam, 0x011D0001);
}

TEST(KeyStateTracker, TakesTheKeyFromTheScanCodeWhenTheInputCarriedNone) {
    KeyStateTracker tracker;
    EXPECT_EQ(tracker.Apply({0, 0x36, 0, false, false, VkRightShift}),
              (KeyMessage{16, 0x00360001}));
    EXPECT_TRUE(tracker.IsDown(VkRightShift));
    EXPECT_EQ(tracker.Apply({0, 0x36, 0, false, true, VkRightShift}),
              (KeyMessage{16, L(0xC0360001)}));
    EXPECT_EQ(tracker.Apply({'A', 0x1E, 0, false, false, 'Z'}).wParam, 'A');
}

TEST(KeyStateTracker, TracksDownKeysAndForgetsThemOnReset) {
    KeyStateTracker tracker;
    (void)tracker.Apply(Down(VkLeftMenu, 0x38));
    (void)tracker.Apply(Down('A', 0x1E));
    EXPECT_TRUE(tracker.IsDown(VkLeftMenu));
    EXPECT_TRUE(tracker.IsDown('A'));
    EXPECT_FALSE(tracker.IsDown(VkRightMenu));
    EXPECT_FALSE(tracker.IsDown(1000));
    tracker.Reset();
    EXPECT_FALSE(tracker.IsDown('A'));
    EXPECT_EQ(tracker.Apply(Down('B', 0x30)).lParam, 0x00300001);
}

TEST(KeyStateTracker, PassesCodesBeyondTheTableWithoutTrackingThem) {
    KeyStateTracker tracker;
    EXPECT_EQ(tracker.Apply(Down(300, 0x10)), (KeyMessage{300, 0x00100001}));
    EXPECT_EQ(tracker.Apply(Down(300, 0x10)), (KeyMessage{300, 0x00100001}));
}

TEST(DecodeMouse, MapsEveryLowNibbleToItsEvent) {
    using A = MouseAction;
    using B = MouseButton;
    struct Case {
        uint32_t message;
        A action;
        B button;
        bool doubleClick;
    };
    const Case cases[] = {
        {0x200, A::Move, B::Left, false},  {0x201, A::Down, B::Left, false},
        {0x202, A::Up, B::Left, false},    {0x203, A::Down, B::Left, true},
        {0x204, A::Down, B::Right, false}, {0x205, A::Up, B::Right, false},
        {0x206, A::Down, B::Right, true},  {0x207, A::Down, B::Middle, false},
        {0x208, A::Up, B::Middle, false},  {0x209, A::Down, B::Middle, true},
        {0x20A, A::Down, B::Left, false},  {0x20B, A::Down, B::Left, false},
        {0x20C, A::Down, B::Left, false},  {0x20D, A::Down, B::Left, false},
        {0x20E, A::Down, B::Left, false},  {0x20F, A::Down, B::Left, false},
        {0xFFF1, A::Down, B::Left, false}, {0x5, A::Up, B::Right, false},
    };
    for (const Case& c : cases) {
        const MouseEvent event = DecodeMouse(c.message, 0x00C80064);
        EXPECT_EQ(event, (MouseEvent{c.action, c.button, c.doubleClick, 100, 200}))
            << std::hex << c.message;
    }
}

TEST(DecodeMouse, ReadsBothCoordinatesAsUnsignedHalves) {
    EXPECT_EQ(DecodeMouse(0x200, 0xFFFFFFFF).x, 65535);
    EXPECT_EQ(DecodeMouse(0x200, 0xFFFFFFFF).y, 65535);
    EXPECT_EQ(DecodeMouse(0x200, 0x80000001).x, 1);
    EXPECT_EQ(DecodeMouse(0x200, 0x80000001).y, 32768);
}

TEST(MousePositionParam, CutsEachCoordinateToSixteenBitsAndRoundTrips) {
    EXPECT_EQ(MousePositionParam(100, 200), 0x00C80064u);
    EXPECT_EQ(MousePositionParam(-1, -2), 0xFFFEFFFFu);
    EXPECT_EQ(MousePositionParam(0x12345, 0x10002), 0x00022345u);
    const MouseEvent event = DecodeMouse(0x200, MousePositionParam(1919, 1079));
    EXPECT_EQ(event.x, 1919);
    EXPECT_EQ(event.y, 1079);
}

TEST(ShellCodes, ComeFromWindowCreationDestructionAndForegroundEventsOnly) {
    EXPECT_EQ(ShellCodeForWinEvent(0x8000), 1);
    EXPECT_EQ(ShellCodeForWinEvent(0x8001), 2);
    EXPECT_EQ(ShellCodeForWinEvent(0x0003), 4);
    for (uint32_t event : {0x0000u, 0x0001u, 0x8002u, 0x800Bu, 0x0016u})
        EXPECT_EQ(ShellCodeForWinEvent(event), 0) << event;
}

TEST(CutTitle, KeepsAtMost299Characters) {
    EXPECT_EQ(CutTitle(std::string(400, 'x')), std::string(299, 'x'));
    EXPECT_EQ(CutTitle(std::string(299, 'y')), std::string(299, 'y'));
    EXPECT_EQ(CutTitle("Notepad"), "Notepad");
    EXPECT_EQ(CutTitle(""), "");
}

TEST(ActivationFilter, DropsARepeatedTitleUnlessRepeatsAreWanted) {
    ActivationFilter filter;
    EXPECT_TRUE(filter.ShouldReport("Editor", false));
    EXPECT_FALSE(filter.ShouldReport("Editor", false));
    EXPECT_TRUE(filter.ShouldReport("Editor", true));
    EXPECT_TRUE(filter.ShouldReport("editor", false)) << "comparison is case-sensitive";
    EXPECT_TRUE(filter.ShouldReport("Editor", false));
    EXPECT_EQ(filter.LastTitle(), "Editor");
}

TEST(ActivationFilter, TakesAnUntitledFirstActivationForARepeatOfTheEmptyStartingTitle) {
    ActivationFilter filter;
    EXPECT_FALSE(filter.ShouldReport("", false));
    EXPECT_TRUE(filter.ShouldReport("", true));
}

TEST(PathBeside, PutsTheFileInTheModulesFolderAndNeverReturnsABareName) {
    EXPECT_EQ(PathBeside("C:\\Program\\MIDIKeyboard.exe", "vivuvav.dll"),
              "C:\\Program\\vivuvav.dll");
    EXPECT_EQ(PathBeside("Z:/tmp/x/tests.exe", "vivuvav.dll"), "Z:/tmp/x/vivuvav.dll");
    EXPECT_EQ(PathBeside("C:\\a/b\\c.exe", "d.dll"), "C:\\a/b\\d.dll");
    EXPECT_EQ(PathBeside("MIDIKeyboard.exe", "vivuvav.dll"), "");
    EXPECT_EQ(PathBeside("", "vivuvav.dll"), "");
}

} // namespace

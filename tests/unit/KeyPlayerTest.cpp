#include "engine/KeyPlayer.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

using testing::ElementsAre;
using testing::IsEmpty;

namespace {

// Flags of a first key-down and of a key-up, with scan code 0x10 and repeat count 1.
constexpr uint32_t DownFlags = 0x00100001;
constexpr uint32_t UpFlags = 0xC0100001;
constexpr uint32_t AutoRepeatFlags = 0x40100001;
constexpr uint32_t AltContextUpFlags = 0xE0100001;

constexpr int32_t KeyQ = 'Q';
constexpr int32_t KeyW = 'W';
constexpr int32_t KeyE = 'E';
constexpr int32_t KeyF5 = 0x74;

// Plays the keyboard control and the menu: notes go into a sounding set that the pedal holds
// back from, and menu clicks have the effect of the real handlers.
class FakeHost final : public KeyPlayerHost {
public:
    explicit FakeHost(TSettings& settings) : settings_(settings) {}

    KeyPlayer* player = nullptr;
    std::vector<std::string> midi; // "on N V" and "off N", as the port would send them
    std::vector<std::string> clicks;
    std::set<int32_t> sounding;
    int releaseAllCount = 0;
    bool pushChecked = false;
    int32_t checkedTranspose = 0;
    bool mainWindowActive = false;
    bool settingsDialogOpen = false;
    int32_t velocityPosition = 0;

    void PressNote(int32_t note, int32_t velocity) override {
        if (sounding.count(note)) midi.push_back("off " + std::to_string(note));
        sounding.insert(note);
        midi.push_back("on " + std::to_string(note) + " " + std::to_string(velocity));
    }
    void ReleaseNote(int32_t note) override {
        if (player->PedalDown()) return;
        sounding.erase(note);
        midi.push_back("off " + std::to_string(note));
    }
    bool IsNoteSounding(int32_t note) override { return sounding.count(note) != 0; }
    void ReleaseAllNotes() override {
        ++releaseAllCount;
        const std::set<int32_t> notes = sounding;
        for (int32_t note : notes) ReleaseNote(note);
    }
    void ClickCommand(KeyCommand command) override {
        static const char* const names[] = {"Enabled", "C2",   "C3",     "C4",      "C5",
                                            "C6",      "Push", "ZoomIn", "ZoomOut", "Settings"};
        clicks.push_back(names[static_cast<int>(command)]);
        switch (command) {
        case KeyCommand::Enabled:
            settings_.Enabled = !settings_.Enabled;
            break;
        case KeyCommand::C2:
        case KeyCommand::C3:
        case KeyCommand::C4:
        case KeyCommand::C5:
        case KeyCommand::C6:
            settings_.BaseOctave =
                12 * (static_cast<int>(command) - static_cast<int>(KeyCommand::C4));
            break;
        case KeyCommand::Push:
            player->TogglePedalLatch();
            break;
        default:
            break;
        }
    }
    void SetPushChecked(bool checked) override { pushChecked = checked; }
    void CheckTransposeItem(int32_t value) override { checkedTranspose = value; }
    bool IsMainWindowActive() override { return mainWindowActive; }
    bool IsSettingsDialogOpen() override { return settingsDialogOpen; }
    int32_t VelocityPosition() override { return velocityPosition; }

private:
    TSettings& settings_;
};

class KeyPlayerTest : public testing::Test {
protected:
    KeyPlayerTest() {
        host.player = &player;
        notes[KeyQ] = 60;
        notes[KeyW] = 62;
        notes[KeyE] = 64;
    }

    void Down(int32_t key) { player.KeyWatchKeyNative(key, DownFlags); }
    void Up(int32_t key) { player.KeyWatchKeyNative(key, UpFlags); }
    void Tap(int32_t key) {
        Down(key);
        Up(key);
    }
    void PageKey(uint16_t key, bool ctrl) {
        uint16_t k = key;
        player.FormKeyDown(k, ModifierSet{false, ctrl, false});
    }

    TSettings settings;
    KeyNoteTable notes{};
    FakeHost host{settings};
    KeyPlayer player{host, settings, notes};
};

} // namespace

// --- The filter on the top four bits of the keystroke flags. ---

struct FilterCase {
    uint32_t topBits;
    bool accepted;
    bool up;
};

class KeyPlayerFilter : public KeyPlayerTest, public testing::WithParamInterface<FilterCase> {
protected:
    uint32_t Flags(uint32_t low) const { return (GetParam().topBits << 28) | low; }
};

TEST_P(KeyPlayerFilter, OnlyFirstDownsAndPlainKeyUpsChangeTheModifierState) {
    const FilterCase c = GetParam();
    for (bool startDown : {false, true}) {
        KeyNoteTable table{};
        TSettings localSettings;
        FakeHost localHost(localSettings);
        KeyPlayer local(localHost, localSettings, table);
        localHost.player = &local;
        if (startDown) {
            local.KeyWatchKeyNative(KeyPlayer::VkControl, 0x001D0001);
            local.KeyWatchKeyNative(KeyPlayer::VkMenu, 0x20380001);
        }

        local.KeyWatchKeyNative(KeyPlayer::VkControl, Flags(0x001D0001));
        local.KeyWatchKeyNative(KeyPlayer::VkMenu, Flags(0x00380001));

        const bool expectDown = c.accepted ? !c.up : startDown;
        EXPECT_EQ(local.CtrlHeld(), expectDown) << std::hex << c.topBits << " from " << startDown;
        EXPECT_EQ(local.AltHeld(), expectDown) << std::hex << c.topBits << " from " << startDown;
        EXPECT_EQ(local.HeldModifiers(), (ModifierSet{false, expectDown, expectDown}));
    }
}

TEST_P(KeyPlayerFilter, OnlyAcceptedTransitionsMoveThePedal) {
    const FilterCase c = GetParam();
    settings.PedalKey = KeyPlayer::VkShift;
    for (bool startDown : {false, true}) {
        player.KeyWatchKeyNative(KeyPlayer::VkShift, startDown ? DownFlags : UpFlags);
        const int releasesBefore = host.releaseAllCount;

        player.KeyWatchKeyNative(KeyPlayer::VkShift, Flags(0x002A0001));

        const bool expectDown = c.accepted ? !c.up : startDown;
        EXPECT_EQ(player.PedalDown(), expectDown) << std::hex << c.topBits;
        EXPECT_EQ(player.HeldModifiers().Shift, expectDown) << std::hex << c.topBits;
        EXPECT_EQ(host.releaseAllCount - releasesBefore, c.accepted && c.up ? 1 : 0);
    }
}

TEST_P(KeyPlayerFilter, OnlyAcceptedTransitionsStartOrEndNotes) {
    const FilterCase c = GetParam();
    player.KeyWatchKeyNative(KeyQ, Flags(0x00100001));
    if (c.accepted && !c.up) {
        EXPECT_THAT(host.midi, ElementsAre("on 60 127"));
    } else {
        EXPECT_THAT(host.midi, IsEmpty());
    }

    host.midi.clear();
    host.sounding = {60};
    player.KeyWatchKeyNative(KeyQ, Flags(0x00100001));
    if (c.accepted && c.up) {
        EXPECT_THAT(host.midi, ElementsAre("off 60"));
    } else if (c.accepted) {
        EXPECT_THAT(host.midi, ElementsAre("off 60", "on 60 127"));
    } else {
        EXPECT_THAT(host.midi, IsEmpty());
    }
}

INSTANTIATE_TEST_SUITE_P(
    EveryValueOfTheTopFourBits, KeyPlayerFilter,
    testing::Values(FilterCase{0x0, true, false}, FilterCase{0x1, false, false},
                    FilterCase{0x2, true, false}, FilterCase{0x3, true, false},
                    FilterCase{0x4, false, false}, FilterCase{0x5, false, false},
                    FilterCase{0x6, false, false}, FilterCase{0x7, false, false},
                    FilterCase{0x8, false, true}, FilterCase{0x9, false, true},
                    FilterCase{0xA, false, true}, FilterCase{0xB, false, true},
                    FilterCase{0xC, true, true}, FilterCase{0xD, false, true},
                    FilterCase{0xE, false, true}, FilterCase{0xF, false, true}),
    [](const testing::TestParamInfo<FilterCase>& info) {
        const char* digits = "0123456789ABCDEF";
        return std::string("Top") + digits[info.param.topBits];
    });

// --- Playing notes. ---

TEST_F(KeyPlayerTest, HoldingAKeyPlaysOneNoteAndReleasingItEndsIt) {
    Down(KeyQ);
    for (int i = 0; i < 5; ++i) player.KeyWatchKeyNative(KeyQ, AutoRepeatFlags);
    Up(KeyQ);
    EXPECT_THAT(host.midi, ElementsAre("on 60 127", "off 60"));
}

TEST_F(KeyPlayerTest, TheNoteAddsBaseOctaveAndTransposeAndTheVelocityMirrorsTheFader) {
    settings.BaseOctave = -12;
    player.SetTranspose(5);
    host.velocityPosition = 40;
    Down(KeyQ);
    EXPECT_THAT(host.midi, ElementsAre("on 53 87"));
}

TEST_F(KeyPlayerTest, ANegativeKeyCodeCountsAsItsPositiveValue) {
    player.KeyWatchKeyNative(-KeyQ, DownFlags);
    player.KeyWatchKeyNative(-KeyQ, UpFlags);
    EXPECT_THAT(host.midi, ElementsAre("on 60 127", "off 60"));
}

TEST_F(KeyPlayerTest, KeyCodesOutsideTheTableDoNothing) {
    settings.Shortcuts = {0, 0, 0, 0, 0, 0};
    for (int32_t key : {256, 100000, INT32_MAX, INT32_MIN}) {
        player.KeyWatchKeyNative(key, DownFlags);
        player.KeyWatchKeyNative(key, UpFlags);
    }
    EXPECT_THAT(host.midi, IsEmpty());
    EXPECT_THAT(host.clicks, IsEmpty());
}

TEST_F(KeyPlayerTest, TheKeyUpEndsTheNoteOfItsOwnKeyDownAfterAnOctaveShortcut) {
    Down(KeyQ);
    player.KeyWatchKeyNative(KeyPlayer::VkControl, 0x001D0001);
    Down(KeyF5);
    Up(KeyF5);
    player.KeyWatchKeyNative(KeyPlayer::VkControl, 0xC01D0001);
    Up(KeyQ);

    EXPECT_THAT(host.clicks, ElementsAre("C5"));
    EXPECT_EQ(settings.BaseOctave, 12);
    EXPECT_THAT(host.midi, ElementsAre("on 60 127", "off 60"));

    Tap(KeyQ);
    EXPECT_THAT(host.midi, ElementsAre("on 60 127", "off 60", "on 72 127", "off 72"));
}

TEST_F(KeyPlayerTest, TheOctaveIsRememberedAsASignedByte) {
    settings.BaseOctave = 0x1F4; // low byte 0xF4, read back as -12
    Down(KeyQ);
    EXPECT_EQ(player.PressOctave(60), -12);
    EXPECT_THAT(host.midi, ElementsAre("on 48 127"));
}

TEST_F(KeyPlayerTest, PageUpWhileAKeyIsHeldEndsTheNoteAndItsKeyUpSendsNothing) {
    Down(KeyQ);
    PageKey(KeyPlayer::VkPageUp, false);
    Up(KeyQ);
    EXPECT_EQ(player.Transpose(), 1);
    EXPECT_EQ(host.checkedTranspose, 1);
    EXPECT_THAT(host.midi, ElementsAre("on 60 127", "off 60"));
}

TEST_F(KeyPlayerTest, CtrlBlocksNotesWhenItIsNotThePedal) {
    settings.PedalKey = -1;
    player.KeyWatchKeyNative(KeyPlayer::VkControl, 0x001D0001);
    Tap(KeyQ);
    EXPECT_THAT(host.midi, IsEmpty());
    EXPECT_THAT(host.clicks, IsEmpty());
}

TEST_F(KeyPlayerTest, ABlockedKeyDownStillRemembersItsOctave) {
    settings.BaseOctave = 12;
    player.KeyWatchKeyNative(KeyPlayer::VkMenu, 0x20380001);
    Down(KeyQ);
    EXPECT_TRUE(player.AltHeld());
    EXPECT_EQ(player.PressOctave(60), 12);
    EXPECT_THAT(host.midi, IsEmpty());
}

TEST_F(KeyPlayerTest, TheLeftWindowsKeyBlocksNotesWhileHeld) {
    Down(KeyPlayer::VkLeftWin);
    Tap(KeyQ);
    Up(KeyPlayer::VkLeftWin);
    Tap(KeyW);
    EXPECT_THAT(host.midi, ElementsAre("on 62 127", "off 62"));
}

TEST_F(KeyPlayerTest, AShortcutOnCtrlAndAMappedKeyRunsInsteadOfTheNote) {
    settings.PedalKey = -1;
    settings.Shortcuts[3] = ShortcutCtrl + KeyQ;
    player.KeyWatchKeyNative(KeyPlayer::VkControl, 0x001D0001);
    Tap(KeyQ);
    EXPECT_THAT(host.clicks, ElementsAre("C4"));
    EXPECT_THAT(host.midi, IsEmpty());
}

TEST_F(KeyPlayerTest, WithCtrlAsThePedalKeysPlayAndSoundUntilCtrlGoesUp) {
    settings.PedalKey = KeyPlayer::VkControl;
    player.KeyWatchKeyNative(KeyPlayer::VkControl, 0x001D0001);
    Tap(KeyQ);
    EXPECT_FALSE(player.CtrlHeld());
    EXPECT_TRUE(player.PedalDown());
    EXPECT_THAT(host.midi, ElementsAre("on 60 127"));

    player.KeyWatchKeyNative(KeyPlayer::VkControl, 0xC01D0001);
    EXPECT_THAT(host.midi, ElementsAre("on 60 127", "off 60"));
    EXPECT_FALSE(player.PedalDown());
    EXPECT_FALSE(host.pushChecked);
}

TEST_F(KeyPlayerTest, WithCtrlAsThePedalCtrlShortcutsStillWork) {
    settings.PedalKey = KeyPlayer::VkControl;
    player.KeyWatchKeyNative(KeyPlayer::VkControl, 0x001D0001);
    Down(KeyF5);
    EXPECT_THAT(host.clicks, ElementsAre("C5"));
}

TEST_F(KeyPlayerTest, WithShiftAsThePedalNotesSoundUntilShiftGoesUp) {
    settings.PedalKey = KeyPlayer::VkShift;
    notes[KeyPlayer::VkShift] = 50;
    notes[LeftShiftEntry] = 40;
    player.KeyWatchKeyNative(KeyPlayer::VkShift, KeyPlayer::LeftShiftDown);
    for (int32_t key : {KeyQ, KeyW, KeyE}) Down(key);
    for (int32_t key : {KeyQ, KeyW, KeyE}) Up(key);
    EXPECT_THAT(host.midi, ElementsAre("on 60 127", "on 62 127", "on 64 127"));
    EXPECT_EQ(host.sounding, (std::set<int32_t>{60, 62, 64}));

    player.KeyWatchKeyNative(KeyPlayer::VkShift, KeyPlayer::LeftShiftUp);
    EXPECT_THAT(host.midi,
                ElementsAre("on 60 127", "on 62 127", "on 64 127", "off 60", "off 62", "off 64"));
}

TEST_F(KeyPlayerTest, PushTwiceLatchesThenReleasesTheSustainedNotes) {
    Down(KeyQ);
    uint16_t space = KeyPlayer::VkSpace;
    player.FormKeyDown(space, {});
    EXPECT_EQ(space, KeyPlayer::VkSpace); // not consumed
    EXPECT_TRUE(player.PedalDown());
    EXPECT_TRUE(host.pushChecked);
    Up(KeyQ);
    EXPECT_THAT(host.midi, ElementsAre("on 60 127"));

    player.FormKeyDown(space, {});
    EXPECT_FALSE(player.PedalDown());
    EXPECT_FALSE(host.pushChecked);
    EXPECT_THAT(host.midi, ElementsAre("on 60 127", "off 60"));
}

TEST_F(KeyPlayerTest, PushWhileThePedalKeyIsHeldInvertsThePedalAndTheKeyUpClearsIt) {
    settings.PedalKey = KeyPlayer::VkControl;
    player.KeyWatchKeyNative(KeyPlayer::VkControl, 0x001D0001);
    player.TogglePedalLatch();
    EXPECT_FALSE(player.PedalDown());
    player.TogglePedalLatch();
    EXPECT_TRUE(host.pushChecked);
    player.KeyWatchKeyNative(KeyPlayer::VkControl, 0xC01D0001);
    EXPECT_FALSE(player.PedalDown());
    EXPECT_FALSE(host.pushChecked);
}

TEST_F(KeyPlayerTest, PressingThePedalKeyLeavesThePushMarkAlone) {
    settings.PedalKey = KeyPlayer::VkShift;
    player.KeyWatchKeyNative(KeyPlayer::VkShift, KeyPlayer::LeftShiftDown);
    EXPECT_TRUE(player.PedalDown());
    EXPECT_FALSE(host.pushChecked);
    EXPECT_EQ(host.releaseAllCount, 0);
}

TEST_F(KeyPlayerTest, WhenDisabledKeysPlayOnlyWhileTheMainWindowIsActive) {
    settings.Enabled = false;
    Tap(KeyQ);
    EXPECT_THAT(host.midi, IsEmpty());

    host.mainWindowActive = true;
    Tap(KeyQ);
    EXPECT_THAT(host.midi, ElementsAre("on 60 127", "off 60"));
}

TEST_F(KeyPlayerTest, TheEnableShortcutWorksWhilePlayingIsOff) {
    settings.Enabled = false;
    player.KeyWatchKeyNative(KeyPlayer::VkControl, 0x001D0001);
    player.KeyWatchKeyNative(KeyPlayer::VkShift, KeyPlayer::LeftShiftDown);
    Down(KeyE);
    EXPECT_THAT(host.clicks, ElementsAre("Enabled"));
    EXPECT_TRUE(settings.Enabled);
    Up(KeyE);
    player.KeyWatchKeyNative(KeyPlayer::VkShift, KeyPlayer::LeftShiftUp);
    player.KeyWatchKeyNative(KeyPlayer::VkControl, 0xC01D0001);

    Tap(KeyQ);
    EXPECT_THAT(host.midi, ElementsAre("on 60 127", "off 60"));
}

TEST_F(KeyPlayerTest, WhileTheSettingsDialogIsOpenOnlyThePedalAndModifiersMove) {
    settings.PedalKey = KeyPlayer::VkShift;
    host.settingsDialogOpen = true;
    host.mainWindowActive = true;

    Tap(KeyQ);
    player.KeyWatchKeyNative(KeyPlayer::VkControl, 0x001D0001);
    Down(KeyF5);
    EXPECT_TRUE(player.CtrlHeld());
    player.KeyWatchKeyNative(KeyPlayer::VkShift, KeyPlayer::LeftShiftDown);
    EXPECT_TRUE(player.PedalDown());
    player.KeyWatchKeyNative(KeyPlayer::VkShift, KeyPlayer::LeftShiftUp);
    EXPECT_FALSE(player.PedalDown());

    EXPECT_THAT(host.midi, IsEmpty());
    EXPECT_THAT(host.clicks, IsEmpty());
}

TEST_F(KeyPlayerTest, TheShiftEntriesPlayOnlyForExactShiftFlags) {
    notes[LeftShiftEntry] = 40;
    notes[RightShiftEntry] = 45;
    notes[KeyPlayer::VkShift] = 50;
    struct Case {
        uint32_t down;
        uint32_t up;
        std::vector<std::string> midi;
    };
    const Case cases[] = {
        {KeyPlayer::LeftShiftDown,
         KeyPlayer::LeftShiftUp,
         {"on 40 127", "on 50 127", "off 40", "off 50"}},
        {KeyPlayer::RightShiftDown,
         KeyPlayer::RightShiftUp,
         {"on 45 127", "on 50 127", "off 45", "off 50"}},
        {0x012A0001, 0xC12A0001, {"on 50 127", "off 50"}}, // extended bit
        {0x002A0002, 0xC02A0002, {"on 50 127", "off 50"}}, // repeat count 2
    };
    for (const Case& c : cases) {
        host.midi.clear();
        player.KeyWatchKeyNative(KeyPlayer::VkShift, c.down);
        player.KeyWatchKeyNative(KeyPlayer::VkShift, c.up);
        EXPECT_EQ(host.midi, c.midi) << std::hex << c.down;
    }
}

TEST_F(KeyPlayerTest, AKeyReleasedInAltContextSoundsOnUntilAReleaseAll) {
    Down(KeyQ);
    player.KeyWatchKeyNative(KeyPlayer::VkMenu, 0x20380001);
    player.KeyWatchKeyNative(KeyQ, AltContextUpFlags);
    EXPECT_THAT(host.midi, ElementsAre("on 60 127"));

    uint16_t insert = KeyPlayer::VkInsert;
    player.FormKeyDown(insert, {});
    EXPECT_THAT(host.midi, ElementsAre("on 60 127", "off 60"));
}

TEST_F(KeyPlayerTest, AKeyUpWhilePlayingIsGatedOffIsIgnored) {
    Down(KeyQ);
    settings.Enabled = false;
    Up(KeyQ);
    settings.Enabled = true;
    Down(KeyW);
    host.settingsDialogOpen = true;
    Up(KeyW);
    EXPECT_THAT(host.midi, ElementsAre("on 60 127", "on 62 127"));
}

// --- Shortcuts. ---

TEST_F(KeyPlayerTest, AShortcutOnAMappedKeyPlaysNothingDownOrUp) {
    settings.Shortcuts[5] = KeyQ;
    Tap(KeyQ);
    EXPECT_THAT(host.clicks, ElementsAre("C6"));
    EXPECT_THAT(host.midi, IsEmpty());
}

TEST_F(KeyPlayerTest, OfTwoSlotsWithTheSameValueOnlyTheFirstActs) {
    settings.Shortcuts[2] = KeyQ;
    settings.Shortcuts[4] = KeyQ;
    Down(KeyQ);
    EXPECT_THAT(host.clicks, ElementsAre("C3"));
}

TEST_F(KeyPlayerTest, EachSlotClicksItsOwnCommand) {
    settings.PedalKey = -1;
    player.KeyWatchKeyNative(KeyPlayer::VkControl, 0x001D0001);
    for (int32_t key = 0x71; key <= 0x75; ++key) Tap(key); // F2..F6
    player.KeyWatchKeyNative(KeyPlayer::VkShift, KeyPlayer::LeftShiftDown);
    Tap('E');
    EXPECT_THAT(host.clicks, ElementsAre("C2", "C3", "C4", "C5", "C6", "Enabled"));
}

TEST_F(KeyPlayerTest, EmptyShortcutSlotsNeverFire) {
    settings.Shortcuts = {0, 0, 0, 0, 0, 0};
    notes[0] = 61;
    player.KeyWatchKeyNative(0, DownFlags);
    player.KeyWatchKeyNative(300, DownFlags);
    EXPECT_THAT(host.clicks, IsEmpty());
    EXPECT_THAT(host.midi, ElementsAre("on 61 127"));
}

TEST(ShortcutValueTest, AddsTheModifierBitsToTheKeyCode) {
    EXPECT_EQ(ShortcutValue('E', {true, true, false}), 24645);
    EXPECT_EQ(ShortcutValue(0x71, {false, true, false}), 16497);
    EXPECT_EQ(ShortcutValue(0x41, {false, false, true}), 0x8041);
    EXPECT_EQ(ShortcutValue(256, {true, true, true}), 0);
}

// --- Command keys of the focused window. ---

TEST_F(KeyPlayerTest, CommandKeysClickTheirItemsAndOnlyPageKeysAreConsumed) {
    struct Case {
        uint16_t key;
        const char* click;
    };
    const Case cases[] = {
        {KeyPlayer::VkAdd, "ZoomIn"},
        {KeyPlayer::VkSubtract, "ZoomOut"},
        {KeyPlayer::VkSpace, "Push"},
        {0x71, "C2"},
        {0x72, "C3"},
        {0x73, "C4"},
        {0x74, "C5"},
        {0x75, "C6"},
        {KeyPlayer::VkF9, "Settings"},
    };
    for (const Case& c : cases) {
        host.clicks.clear();
        uint16_t key = c.key;
        player.FormKeyDown(key, {});
        EXPECT_THAT(host.clicks, ElementsAre(c.click)) << c.key;
        EXPECT_EQ(key, c.key);
    }

    host.clicks.clear();
    for (uint16_t unused : {uint16_t{0x70}, uint16_t{0x76}, uint16_t{'A'}, uint16_t{0}}) {
        uint16_t key = unused;
        player.FormKeyDown(key, {true, true, true});
        EXPECT_EQ(key, unused);
    }
    EXPECT_THAT(host.clicks, IsEmpty());
}

TEST_F(KeyPlayerTest, PageKeysAndInsertMoveTheTranspositionWithinItsRange) {
    struct Case {
        int32_t start;
        uint16_t key;
        bool ctrl;
        int32_t expected;
        bool consumed;
    };
    const Case cases[] = {
        {0, KeyPlayer::VkPageUp, false, 1, true},
        {0, KeyPlayer::VkPageDown, false, -1, true},
        {0, KeyPlayer::VkPageUp, true, 12, true},
        {0, KeyPlayer::VkPageDown, true, -12, true},
        {-30, KeyPlayer::VkPageDown, true, -36, true},
        {30, KeyPlayer::VkPageUp, true, 36, true},
        {36, KeyPlayer::VkPageUp, false, 36, true},
        {-36, KeyPlayer::VkPageDown, false, -36, true},
        {17, KeyPlayer::VkInsert, false, 0, false},
        {0, KeyPlayer::VkInsert, true, 0, false},
    };
    for (const Case& c : cases) {
        player.SetTranspose(c.start);
        host.sounding = {60};
        host.midi.clear();
        const int releasesBefore = host.releaseAllCount;

        uint16_t key = c.key;
        player.FormKeyDown(key, ModifierSet{false, c.ctrl, false});

        EXPECT_EQ(player.Transpose(), c.expected) << c.start << " key " << c.key;
        EXPECT_EQ(host.checkedTranspose, c.expected);
        EXPECT_EQ(key == 0, c.consumed);
        EXPECT_EQ(host.releaseAllCount - releasesBefore, 1); // even when the value stays
        EXPECT_THAT(host.midi, ElementsAre("off 60"));
    }
}

TEST_F(KeyPlayerTest, CtrlForThePageStepComesFromTheEventNotFromWatchedKeys) {
    player.KeyWatchKeyNative(KeyPlayer::VkControl, 0x001D0001);
    PageKey(KeyPlayer::VkPageUp, false);
    EXPECT_EQ(player.Transpose(), 1);
}

TEST_F(KeyPlayerTest, ATranspositionChangeWhileThePedalIsLatchedKeepsNotesSounding) {
    Down(KeyQ);
    player.TogglePedalLatch();
    PageKey(KeyPlayer::VkPageUp, false);
    EXPECT_THAT(host.midi, ElementsAre("on 60 127"));
    EXPECT_TRUE(host.pushChecked);
}

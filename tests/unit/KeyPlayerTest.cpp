#include "engine/KeyPlayer.h"

#include "engine/CommandKeys.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cctype>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace zevaver {

using testing::ElementsAre;
using testing::IsEmpty;
using Vk = KeyPlayer;
using Strings = std::vector<std::string>;

namespace {

// A first key-down and a key-up, scan code 0x10, repeat count 1.
constexpr uint32_t DownFlags = 0x00100001;
constexpr uint32_t UpFlags = 0xC0100001;

std::string Join(const Strings& items) {
    std::string text;
    for (const std::string& item : items) text += (text.empty() ? "" : ", ") + item;
    return text;
}

// A player with Q, W and E mapped to 60, 62 and 64 (and R to 60 as well), and its host: the
// keyboard control, whose sounding notes the pedal holds back, and the menu, whose clicks have the
// effect of the real handlers.
struct Rig : KeyPlayerHost {
    Rig() {
        // Keys by the codes they give, as the layout files were first read: one scan code
        // serves every key here.
        settings.KeysByPosition = false;
        notes['Q'] = 60;
        notes['W'] = 62;
        notes['E'] = 64;
        notes['R'] = 60;
    }

    void PressNote(int32_t note, int32_t velocity) override {
        if (sounding.count(note)) midi.push_back("off " + std::to_string(note));
        sounding.insert(note);
        midi.push_back("on " + std::to_string(note) + " " + std::to_string(velocity));
    }
    void ReleaseNote(int32_t note) override {
        if (player.PedalDown()) return;
        sounding.erase(note);
        midi.push_back("off " + std::to_string(note));
    }
    bool IsNoteSounding(int32_t note) override { return sounding.count(note) != 0; }
    void ReleaseAllNotes() override {
        ++releaseAllCount;
        for (int32_t note : std::set<int32_t>(sounding)) ReleaseNote(note);
    }
    void ClickCommand(KeyCommand command) override {
        static const char* const names[] = {"Enabled", "C2",   "C3",     "C4",      "C5",
                                            "C6",      "Push", "ZoomIn", "ZoomOut", "Settings"};
        const int index = static_cast<int>(command);
        clicks.push_back(names[index]);
        if (command == KeyCommand::Enabled) settings.Enabled = !settings.Enabled;
        if (index >= 1 && index <= 5) settings.BaseOctave = 12 * (index - 3);
        if (command == KeyCommand::Push) player.TogglePedalLatch();
    }
    void SetPushChecked(bool checked) override { pushChecked = checked; }
    bool IsMainWindowActive() override { return mainWindowActive; }
    bool IsSettingsDialogOpen() override { return settingsDialogOpen; }
    int32_t VelocityPosition() override { return velocityPosition; }
    bool IsKeyDown(int32_t key) override { return released.count(key) == 0; }
    uint32_t EventTime() override { return clock; }

    void Key(int32_t key, uint32_t flags) { player.KeyWatchKeyNative(key, flags); }
    // A command key of the focused window, as the main window acts on it; returns 0 for a
    // consumed key, else the key.
    uint16_t Form(uint16_t key, ModifierSet modifiers = {}) {
        const CommandKeyAction action = CommandKeyDown(key, modifiers, player.Transpose());
        if (action.transpose) {
            player.SetTranspose(*action.transpose);
            checkedTranspose = *action.transpose;
        }
        if (action.command) ClickCommand(*action.command);
        return action.consumed ? 0 : key;
    }

    // Plays a line of events, separated by spaces:
    //   Q, Ctrl, Shift, Alt, Win, F2..F6  a first key-down (left Shift, Alt in Alt context)
    //   Q^, Q~, Q@               its key-up, an auto-repeat, a key-up in Alt context
    //   Q!                       its key-up lost: the platform has it up, the player is
    //                            not told (Shift! is the left Shift key)
    //   wait, desktop            a quiet spell before the next event; the desktop returns
    //   [PgUp] [Ins] [Space]     command keys of the focused window
    //   latch                    the Push command
    //   off, on, active, dialog  playing switched off or on, the main window active, the
    //                            settings dialog open
    //   pedal=Ctrl, pedal=Shift  the pedal key chosen
    //   |                        a mark in the MIDI log
    //   ?                        the state in the MIDI log: [pedal push ctrl alt] as far as set
    void Play(const std::string& events) {
        std::istringstream in(events);
        for (std::string event; in >> event;) {
            if (event == "|") midi.push_back("|");
            if (event == "?") midi.push_back(State());
            if (event == "latch") player.TogglePedalLatch();
            if (event == "off" || event == "on") settings.Enabled = event == "on";
            if (event == "active") mainWindowActive = true;
            if (event == "dialog") settingsDialogOpen = true;
            if (event.starts_with("pedal=")) {
                player.PedalKeyChanging();
                settings.PedalKey = Code(event.substr(6));
            }
            if (event == "wait") clock += KeyPlayer::QuietSpellMs;
            if (event == "desktop") player.ReconcileHeldKeys();
            if (event[0] == '[') Form(static_cast<uint16_t>(Code(event)));
            if (std::isupper(static_cast<unsigned char>(event[0]))) Press(event);
        }
    }
    static int32_t Code(const std::string& name) {
        static const std::map<std::string, int32_t> named = {
            {"Ctrl", Vk::VkControl}, {"Shift", Vk::VkShift}, {"Alt", Vk::VkMenu},
            {"Win", Vk::VkLeftWin},  {"[PgUp]", vk::PageUp}, {"[Ins]", vk::Insert},
            {"[Space]", vk::Space}};
        if (name.size() == 1) return name[0];
        if (name[0] == 'F') return vk::F2 + std::stoi(name.substr(1)) - 2;
        return named.at(name);
    }
    void Press(const std::string& event) {
        const char mark =
            event.size() > 1 && std::string("^~@!").find(event.back()) != std::string::npos
                ? event.back()
                : 0;
        const int32_t key = Code(mark ? event.substr(0, event.size() - 1) : event);
        if (mark == '!') {
            released.insert(key);
            if (key == Vk::VkShift) released.insert(Vk::VkLeftShift);
            return;
        }
        released.erase(key);
        if (key == Vk::VkShift) released.erase(Vk::VkLeftShift);
        const bool up = mark == '^';
        uint32_t flags = up ? UpFlags : DownFlags;
        if (key == Vk::VkControl) flags = up ? 0xC01D0001 : 0x001D0001;
        if (key == Vk::VkShift) flags = up ? Vk::LeftShiftUp : Vk::LeftShiftDown;
        if (key == Vk::VkMenu) flags = up ? 0xC0380001 : 0x20380001;
        if (mark == '~') flags = 0x40100001;
        if (mark == '@') flags = 0xE0100001;
        Key(key, flags);
    }
    std::string State() const {
        std::string state;
        for (auto [set, name] : {std::pair{player.PedalDown(), "pedal"},
                                 {pushChecked, "push"},
                                 {player.CtrlHeld(), "ctrl"},
                                 {player.AltHeld(), "alt"}}) {
            if (set) state += (state.empty() ? "" : " ") + std::string(name);
        }
        return "[" + state + "]";
    }

    Strings midi; // "on N V" and "off N"
    Strings clicks;
    std::set<int32_t> sounding;
    std::set<int32_t> released; // keys the platform reports up although the player had no
                                // key-up
    uint32_t clock = 0;
    int releaseAllCount = 0;
    bool pushChecked = false, mainWindowActive = false, settingsDialogOpen = false;
    int32_t checkedTranspose = 0, velocityPosition = 0;
    TSettings settings;
    KeyNoteTable notes{};
    KeyPlayer player{*this, settings, notes};
};

class KeyPlayerTest : public testing::Test, protected Rig {};

} // namespace

TEST(KeyPlayerScenarios, PlayTheNotesAndCommandsOfEachLineOfEvents) {
    struct Scenario {
        const char* what;
        const char* events;
        const char* midi;
        const char* clicks;
    };
    // clang-format off
    const Scenario scenarios[] = {
        {"auto-repeats of a held key play nothing more",
         "Q Q~ Q~ Q^", "on 60 127, off 60", ""},
        {"a key-up ends the note of its own key-down after an octave shortcut",
         "Q Ctrl F5 F5^ Ctrl^ Q^ Q Q^", "on 60 127, off 60, on 72 127, off 72", "C5"},
        {"Page Up while a key is held ends its note; the key-up sends nothing",
         "Q [PgUp] | Q^", "on 60 127, off 60, |", ""},
        {"Ctrl, the left Windows key and Alt block notes while held",
         "Ctrl Q Q^ Ctrl^ Win W W^ Win^ Alt E E^ Alt^ Q Q^", "on 60 127, off 60", ""},
        {"with Ctrl as the pedal keys play, sound until Ctrl goes up and Ctrl shortcuts work",
         "pedal=Ctrl Ctrl Q Q^ ? F5 | Ctrl^ ?", "on 60 127, [pedal], |, off 60, []", "C5"},
        {"with Shift as the pedal notes sound until Shift goes up and Push stays unchecked",
         "pedal=Shift Shift ? Q W Q^ W^ | Shift^ ?",
         "[pedal], on 60 127, on 62 127, |, off 60, off 62, []", ""},
        {"Push latches the pedal and a second Push releases the sustained notes",
         "Q [Space] ? Q^ | [Space] ?", "on 60 127, [pedal push], |, off 60, []", "Push, Push"},
        {"Push while the pedal key is held inverts the pedal and the key-up clears it",
         "pedal=Ctrl Ctrl latch ? latch ? Ctrl^ ?", "[], [pedal push], []", ""},
        {"a transposition change while the pedal is latched keeps notes sounding",
         "Q latch [PgUp] ?", "on 60 127, [pedal push]", ""},
        {"when playing is off keys play only while the main window is active",
         "off Q Q^ active Q Q^", "on 60 127, off 60", ""},
        {"the enable shortcut works while playing is off",
         "off Ctrl Shift E E^ Shift^ Ctrl^ Q Q^", "on 60 127, off 60", "Enabled"},
        {"with the settings dialog open only the pedal and modifiers move",
         "pedal=Shift dialog active Q Q^ Ctrl F5 Shift ? Shift^ ?", "[pedal ctrl], [ctrl]", ""},
        {"a key-up ends its note even while playing is gated off",
         "Q off Q^ on W dialog W^", "on 60 127, off 60, on 62 127, off 62", ""},
        {"a key released in Alt context ends its note",
         "Q Alt Q@ | [Ins]", "on 60 127, off 60, |", ""},
        {"Ctrl released in Alt context before Alt no longer blocks notes",
         "Ctrl Alt Ctrl@ Alt@ Q Q^", "on 60 127, off 60", ""},
        {"the Ctrl pedal released in Alt context comes up and ends what it sustained",
         "pedal=Ctrl Ctrl Q Q^ Alt Ctrl@ | Alt@ ?", "on 60 127, off 60, |, []", ""},
        {"two keys of one note code each end the note of their own octave",
         "Q Ctrl F5 F5^ Ctrl^ R Q^ R^", "on 60 127, on 72 127, off 60, off 72", "C5"},
        {"changing the pedal key while it is held lets the pedal up",
         "pedal=Ctrl Ctrl Q Q^ ? | pedal=Shift ? Ctrl^ Q Q^",
         "on 60 127, [pedal], |, off 60, [], on 60 127, off 60", ""},
        {"a key held when it becomes the pedal key stops blocking once released",
         "Ctrl pedal=Ctrl ? Ctrl^ ? Q Q^", "[ctrl], [], on 60 127, off 60", ""},
        {"a latched pedal stays latched when the pedal key changes",
         "latch pedal=Shift ?", "[pedal push]", ""},
        {"a lost Ctrl release is noticed at the first event after a quiet spell",
         "Ctrl Ctrl! Q Q^ wait Q Q^", "on 60 127, off 60", ""},
        {"a lost key release ends its note when the desktop returns",
         "Q W Q! | desktop | W^", "on 60 127, on 62 127, |, off 60, |, off 62", ""},
        {"a lost release of the pedal key lets the pedal up when the desktop returns",
         "pedal=Shift Shift Q Q^ Shift! ? desktop ?", "on 60 127, [pedal], off 60, []", ""},
        {"a key pressed again after its release was lost plays though the hook calls it a repeat",
         "Q Q! desktop Q~ Q^", "on 60 127, off 60, on 60 127, off 60", ""},
        {"Ctrl pressed again after its release was lost blocks though the hook calls it a repeat",
         "Ctrl Ctrl! desktop Ctrl~ Q Q^ Ctrl^ W W^", "on 62 127, off 62", ""},
        {"keys still held are kept when the desktop returns",
         "Ctrl Q desktop ? Ctrl^ Q^ W W^", "[ctrl], on 62 127, off 62", ""},
        {"each shortcut slot clicks its own command",
         "Ctrl F2 F2^ F3 F3^ F4 F4^ F5 F5^ F6 F6^ Shift E", "", "C2, C3, C4, C5, C6, Enabled"},
    };
    // clang-format on
    for (const Scenario& s : scenarios) {
        Rig r;
        r.Play(s.events);
        EXPECT_EQ(Join(r.midi), s.midi) << s.what;
        EXPECT_EQ(Join(r.clicks), s.clicks) << s.what;
    }
}

TEST(KeyPlayerFilter, OnlyFirstDownsAndEveryKeyUpMoveModifiersPedalAndNotes) {
    struct Case {
        uint32_t topBits;
        bool accepted, up;
    };
    const Case cases[] = {
        {0x0, true, false},  {0x1, false, false}, {0x2, true, false},  {0x3, true, false},
        {0x4, false, false}, {0x5, false, false}, {0x6, false, false}, {0x7, false, false},
        {0x8, true, true},   {0x9, true, true},   {0xA, true, true},   {0xB, true, true},
        {0xC, true, true},   {0xD, true, true},   {0xE, true, true},   {0xF, true, true},
    };
    for (const Case& c : cases) {
        const uint32_t top = c.topBits << 28;
        for (bool startDown : {false, true}) {
            Rig r;
            r.settings.PedalKey = Vk::VkShift;
            if (startDown) r.Play("Ctrl Alt Shift");
            r.Key(Vk::VkControl, top | 0x001D0001);
            r.Key(Vk::VkMenu, top | 0x00380001);
            r.Key(Vk::VkShift, top | 0x002A0001);
            // An auto-repeat of a key not held counts as its first down (0x5 as 0x1, dropped).
            const bool repeat = c.topBits == 0x4 || c.topBits == 0x6 || c.topBits == 0x7;
            const bool down = c.accepted ? !c.up : (startDown || repeat);
            EXPECT_EQ(r.State(), down ? "[pedal ctrl alt]" : "[]") << c.topBits << startDown;
            EXPECT_EQ(r.player.HeldModifiers(), (ModifierSet{down, down, down})) << c.topBits;
            EXPECT_EQ(r.releaseAllCount, c.up ? 1 : 0) << c.topBits;
        }
        Rig r;
        r.Key('Q', DownFlags);
        r.midi.clear();
        r.Key('Q', top | 0x00100001);
        EXPECT_EQ(Join(r.midi), !c.accepted ? ""
                                : c.up      ? "off 60"
                                            : "off 60, on 60 127")
            << c.topBits;
    }
}

TEST_F(KeyPlayerTest, TheNoteIsBaseOctavePlusTransposeAndTheVelocityMirrorsTheFader) {
    settings.BaseOctave = -12;
    player.SetTranspose(5);
    velocityPosition = 40;
    Key(-'Q', DownFlags); // a negative key code counts as its positive value
    Key(-'Q', UpFlags);
    EXPECT_THAT(midi, ElementsAre("on 53 87", "off 53"));
}

TEST_F(KeyPlayerTest, TheOctaveIsTheSettingsLowByteReadBackSignedAndABlockedKeyOwnsNoNote) {
    settings.BaseOctave = 0x1F4; // low byte 0xF4, read back as -12
    Play("Q");
    EXPECT_EQ(player.KeyNote('Q'), 48);
    settings.BaseOctave = 12;
    Play("Alt E");
    EXPECT_EQ(player.KeyNote('E'), KeyPlayer::NoKeyNote);
    EXPECT_THAT(midi, ElementsAre("on 48 127"));
}

TEST_F(KeyPlayerTest, KeyCodesOutsideTheTableAndEmptyShortcutSlotsDoNothing) {
    settings.Shortcuts = {0, 0, 0, 0, 0, 0};
    notes[0] = 61;
    for (int32_t key : {256, 300, 100000, INT32_MAX, INT32_MIN}) Key(key, DownFlags);
    EXPECT_THAT(midi, IsEmpty());
    Key(0, DownFlags);
    EXPECT_THAT(midi, ElementsAre("on 61 127"));
    EXPECT_THAT(clicks, IsEmpty());
}

TEST_F(KeyPlayerTest, AShortcutRunsInsteadOfTheNoteOfItsKeyAndOnlyItsFirstSlotActs) {
    settings.Shortcuts[3] = ShortcutCtrl + 'Q';
    settings.Shortcuts[2] = 'W';
    settings.Shortcuts[5] = 'W';
    Play("Ctrl Q Q^ Ctrl^ W W^");
    EXPECT_THAT(clicks, ElementsAre("C4", "C3"));
    EXPECT_THAT(midi, IsEmpty());
}

TEST_F(KeyPlayerTest, TheShiftEntriesPlayOnlyForExactShiftFlags) {
    notes[LeftShiftEntry] = 40;
    notes[RightShiftEntry] = 45;
    notes[Vk::VkShift] = 50;
    struct Case {
        uint32_t down, up;
        const char* midi;
    };
    const Case cases[] = {
        {Vk::LeftShiftDown, Vk::LeftShiftUp, "on 40 127, on 50 127, off 40, off 50"},
        {Vk::RightShiftDown, Vk::RightShiftUp, "on 45 127, on 50 127, off 45, off 50"},
        {0x012A0001, 0xC12A0001, "on 50 127, off 50"}, // extended bit
        {0x002A0002, 0xC02A0002, "on 50 127, off 50"}, // repeat count 2
    };
    for (const Case& c : cases) {
        midi.clear();
        Key(Vk::VkShift, c.down);
        Key(Vk::VkShift, c.up);
        EXPECT_EQ(Join(midi), c.midi) << std::hex << c.down;
    }
}

TEST(ShortcutValueTest, AddsTheModifierBitsToTheKeyCode) {
    EXPECT_EQ(ShortcutValue('E', {true, true, false}), 24645);
    EXPECT_EQ(ShortcutValue(0x41, {false, false, true}), 0x8041);
    EXPECT_EQ(ShortcutValue(256, {true, true, true}), 0);
}

TEST_F(KeyPlayerTest, CommandKeysClickTheirItemsWithoutBeingConsumed) {
    const std::pair<uint16_t, const char*> cases[] = {
        {vk::Add, "ZoomIn"}, {vk::Subtract, "ZoomOut"}, {vk::Space, "Push"}, {vk::F2, "C2"},
        {vk::F6, "C6"},      {vk::F9, "Settings"},
    };
    for (const auto& [key, click] : cases) {
        clicks.clear();
        EXPECT_EQ(Form(key), key);
        EXPECT_THAT(clicks, ElementsAre(click)) << key;
    }
    clicks.clear();
    for (uint16_t key : {0x70, 0x76, 0x41, 0}) EXPECT_EQ(Form(key, {true, true, true}), key);
    EXPECT_THAT(clicks, IsEmpty());
}

TEST_F(KeyPlayerTest, PageKeysAndInsertReleaseAllAndMoveTheTranspositionWithinItsRange) {
    struct Case {
        int32_t start;
        uint16_t key;
        bool ctrl;
        int32_t expected;
    };
    const Case cases[] = {
        {0, vk::PageUp, false, 1},    {0, vk::PageDown, false, -1},    {0, vk::PageUp, true, 12},
        {0, vk::PageDown, true, -12}, {-30, vk::PageDown, true, -36},  {30, vk::PageUp, true, 36},
        {36, vk::PageUp, false, 36},  {-36, vk::PageDown, false, -36}, {17, vk::Insert, false, 0},
        {0, vk::Insert, true, 0},
    };
    Play("Ctrl"); // the step follows the event's modifiers, not the watched keys
    for (const Case& c : cases) {
        player.SetTranspose(c.start);
        sounding = {60};
        midi.clear();
        const int releasesBefore = releaseAllCount;
        EXPECT_EQ(Form(c.key, {false, c.ctrl, false}) == 0, c.key != vk::Insert);
        EXPECT_EQ(player.Transpose(), c.expected) << c.start << " key " << c.key;
        EXPECT_EQ(checkedTranspose, c.expected);
        EXPECT_EQ(releaseAllCount - releasesBefore, 1) << "even when the value stays";
        EXPECT_THAT(midi, ElementsAre("off 60"));
    }
}

} // namespace zevaver

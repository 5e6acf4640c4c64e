#include "services/SettingsDlgRules.h"

#include "engine/Layout.h"
#include "engine/VirtualKeys.h"
#include "support/FakeFiles.h"

#include <gtest/gtest.h>

namespace zevaver {

namespace {

using namespace settingsdlg;

constexpr uint32_t HotKey(uint32_t key, uint32_t flags = 0) {
    return (flags << 8) | key;
}

TEST(SettingsDlgHotKeys, AFieldValueBecomesTheShortcutValueThatKeyPlayingBuilds) {
    struct Case {
        const char* what;
        uint32_t field;
        int32_t shortcut;
    };
    const Case cases[] = {
        {"Ctrl+Shift+E", HotKey('E', HotKeyControl | HotKeyShift), 0x6045},
        {"Ctrl+F2", HotKey(0x71, HotKeyControl), 0x4071},
        {"Alt+A", HotKey('A', HotKeyAlt), 0x8041},
        {"a function key alone keeps its bare key code", HotKey(0x77), 0x77},
        {"a cleared field stores no shortcut", 0, 0},
        {"modifiers without a key store no shortcut", HotKey(0, HotKeyControl | HotKeyAlt), 0},
        {"the extended-key flag is dropped", HotKey(0x2D, HotKeyControl | HotKeyExtended), 0x402D},
        {"bits above the field's 16 are ignored", 0xFFFF0000u | HotKey('Q'), 'Q'},
    };
    for (const Case& c : cases) EXPECT_EQ(ShortcutFromHotKey(c.field), c.shortcut) << c.what;
}

TEST(SettingsDlgHotKeys, AShortcutWithoutModifiersOnAPlayingKeyIsWarnedOf) {
    std::array<uint8_t, 256> notes{};
    notes[vk::F5] = 60;
    notes['Z'] = 48;
    std::array<int32_t, ShortcutCount> shortcuts = DefaultShortcuts();
    const auto same = [](int key) { return key; };
    const auto name = [](int key) {
        return key == vk::F5 ? std::string("F5") : std::string(1, char(key));
    };
    EXPECT_EQ(PlayingShortcutsWarning(shortcuts, notes, same, name), "") << "Ctrl+F5 plays nothing";
    shortcuts[4] = vk::F5;
    EXPECT_EQ(PlayingShortcutsWarning(shortcuts, notes, same, name),
              "F5 also plays a note: as a shortcut it will not.");
    shortcuts[0] = 'Y';
    shortcuts[1] = vk::F5;
    // The key in the Y place is Z, by position on a German keyboard.
    const auto byPlace = [](int key) { return key == 'Y' ? int('Z') : key; };
    EXPECT_EQ(PlayingShortcutsWarning(shortcuts, notes, byPlace, name),
              "Y, F5 also play notes: as shortcuts they will not.")
        << "each key once";
    EXPECT_EQ(PlayingShortcutsWarning(shortcuts, notes, same, name),
              "F5 also plays a note: as a shortcut it will not.");
}

TEST(SettingsDlgHotKeys, EveryStoredShortcutComesBackUnchangedThroughItsField) {
    for (int32_t value : {0, 0x6045, 0x4071, 0x4075, 0x8041, 0x77, 0xE045, 0x2020})
        EXPECT_EQ(ShortcutFromHotKey(HotKeyFromShortcut(value)), value) << value;
    // Bits that mean nothing in a shortcut are not shown, so OK drops them.
    EXPECT_EQ(HotKeyFromShortcut(0x1041), HotKey('A'));
    EXPECT_EQ(HotKeyFromShortcut(-1), HotKey(0xFF, HotKeyShift | HotKeyControl | HotKeyAlt));
}

// Every key typed into a field, in order: the shortcut the field holds after each.
TEST(SettingsDlgHotKeys, ModifiersAloneNeverEraseTheShortcutAFieldHolds) {
    constexpr uint32_t CtrlF4 = HotKey(0x73, HotKeyControl);
    struct Step {
        const char* what;
        uint32_t key;   // the key that went down
        uint32_t shown; // what the field shows after it
        uint32_t held;  // what it holds
    };
    const Step steps[] = {
        {"Shift pressed: the field shows no key", 0x10, 0, CtrlF4},
        {"or shows the modifier alone", 0xA0, HotKey(0, HotKeyShift), CtrlF4},
        {"a key completes the combination", 'D', HotKey('D', HotKeyShift),
         HotKey('D', HotKeyShift)},
        {"Alt and Ctrl of the right side", 0xA5, HotKey(0, HotKeyAlt | HotKeyControl),
         HotKey('D', HotKeyShift)},
        {"a key alone", 0x76, HotKey(0x76), HotKey(0x76)},
        {"a key that shows modifiers alone", 0x20, HotKey(0, HotKeyControl), HotKey(0x76)},
        {"Backspace clears it", 0x08, 0, 0},
        {"and Shift keeps it clear", 0x10, HotKey(0, HotKeyShift), 0},
    };
    uint32_t held = CtrlF4;
    for (const Step& s : steps) {
        held = KeptHotKey(held, s.shown, IsModifierKey(s.key));
        EXPECT_EQ(held, s.held) << s.what;
    }
    EXPECT_FALSE(IsModifierKey(0x13)) << "Pause";
    EXPECT_FALSE(IsModifierKey(0x5B)) << "the Windows key is a key of its own";
}

// Where the platform has no hot-key field, what one would show: the same keys typed give
// the same shortcuts as on Windows.
TEST(SettingsDlgHotKeys, AFieldWithoutThePlatformsControlShowsWhatThePlatformsWould) {
    constexpr uint32_t Ctrl = HotKeyControl, Shift = HotKeyShift, Alt = HotKeyAlt;
    EXPECT_EQ(ShownHotKey('E', Ctrl | Shift), HotKey('E', Ctrl | Shift));
    EXPECT_EQ(ShownHotKey(0x74, 0), HotKey(0x74)) << "F5 alone is a shortcut";
    EXPECT_EQ(ShownHotKey(0x08, 0), 0u) << "Backspace empties the field";
    EXPECT_EQ(ShownHotKey(0x2E, 0), 0u) << "so does Delete";
    EXPECT_EQ(ShownHotKey(0x20, Ctrl), HotKey(0, Ctrl)) << "Space is not taken";
    EXPECT_EQ(ShownHotKey(0xA2, Ctrl), HotKey(0, Ctrl)) << "a modifier alone";
    EXPECT_EQ(ShownHotKey('A', Alt | 0x80), HotKey('A', Alt)) << "other bits are not modifiers";
    // Typed in turn, as the window's field records them.
    uint32_t held = HotKey(0x73, Ctrl);
    for (const auto& [key, modifiers] :
         {std::pair<uint32_t, uint32_t>{0xA0, 0}, {0xA2, Shift}, {'D', Shift | Ctrl}})
        held = KeptHotKey(held, ShownHotKey(key, modifiers), IsModifierKey(key));
    EXPECT_EQ(held, HotKey('D', Shift | Ctrl));
    held = KeptHotKey(held, ShownHotKey(0x08, 0), false);
    EXPECT_EQ(held, 0u);
    for (const uint32_t key : {0x09u, 0x0Du, 0x1Bu}) EXPECT_TRUE(IsDialogKey(key)) << key;
    for (const uint32_t key : {0x08u, 0x20u, 0x2Eu, 0x41u}) EXPECT_FALSE(IsDialogKey(key)) << key;
}

TEST(SettingsDlgHotKeys, AFieldWritesItsShortcutAsThePlatformsFieldDoes) {
    const auto name = [](int key) {
        return key == 0x74 ? std::string("F5") : std::string(1, char(key));
    };
    EXPECT_EQ(HotKeyText(HotKey('E', HotKeyShift | HotKeyControl), name), "Ctrl + Shift + E");
    EXPECT_EQ(HotKeyText(HotKey('A', HotKeyAlt | HotKeyShift), name), "Shift + Alt + A");
    EXPECT_EQ(HotKeyText(HotKey(0x74), name), "F5");
    EXPECT_EQ(HotKeyText(HotKey(0, HotKeyControl | HotKeyAlt), name), "Ctrl + Alt + ");
    EXPECT_EQ(HotKeyText(0, name), "None");
}

TEST(SettingsDlgLayouts, TheListHoldsTheNamesOfTheTxtFilesSortedWithoutRegardToCase) {
    const std::vector<std::string> found = {
        "Piano.txt", "chromatic.txt", "Single Row.txt", "My.Bass.txt", "notes.txtx",
        ".txt",      "ALPHA.TXT",     "readme",         "b.TXT",       "B.txt"};
    EXPECT_EQ(LayoutList(found), (std::vector<std::string>{"ALPHA", "b", "chromatic", "My.Bass",
                                                           "Piano", "Single Row"}))
        << "a name found twice (a user's copy of a shipped layout) is one layout";
    EXPECT_TRUE(LayoutList({}).empty());
}

TEST(SettingsDlgLayouts, TheStoredLayoutSelectsItsEntryWhateverItsLetterCase) {
    const std::vector<std::string> list = {"Chromatic", "Piano", "Single Row"};
    EXPECT_EQ(LayoutIndex(list, "Piano"), 1);
    EXPECT_EQ(LayoutIndex(list, "single row"), 2);
    EXPECT_EQ(LayoutIndex(list, "Gone"), -1);
    EXPECT_EQ(LayoutIndex(list, "Pian"), -1);
    EXPECT_EQ(LayoutIndex(list, ""), -1);
    EXPECT_EQ(LayoutIndex({}, "Piano"), -1);
}

// The dialog from creation to OK: loads the settings, selects the layout as the list
// would, lets the test change the fields, applies them and reloads the layout on a change.
struct DialogRun {
    TSettings settings;
    KeyNoteTable notes{};
    fakes::FakeFiles layouts;
    int reloads = 0;

    void Ok(const std::vector<std::string>& list, void (*edit)(DialogValues&) = nullptr) {
        DialogValues values = ValuesOf(settings);
        const int index = LayoutIndex(list, settings.Layout);
        values.layout = index < 0 ? "" : list[static_cast<size_t>(index)];
        if (edit) edit(values);
        if (ApplyValues(values, settings)) {
            ++reloads;
            (void)LoadLayout(settings, notes, layouts);
        }
    }
};

TEST(SettingsDlgOk, FieldsAndLayoutReachTheSettingsAsTheEdgeCasesSay) {
    DialogRun run;
    run.layouts.files = {{"Layouts/Piano.txt", {"Z = 48\r\n"}},
                         {"Layouts/Chromatic.txt", {"X = 49\r\n"}}};
    const std::vector<std::string> list = {"Chromatic", "Piano"};

    run.Ok(list, [](DialogValues& v) {
        v.shortcuts[0] = ShortcutFromHotKey(HotKey(0x77)); // F8 alone
        v.shortcuts[2] = ShortcutFromHotKey(0);            // cleared
    });
    EXPECT_EQ(run.settings.Shortcuts,
              (std::array<int32_t, 6>{0x77, 0x4071, 0, 0x4073, 0x4074, 0x4075}));
    EXPECT_EQ(run.reloads, 0) << "the same layout is not loaded again";

    run.settings.Layout = "chromatic";
    run.Ok(list);
    EXPECT_EQ(run.settings.Layout, "Chromatic") << "the name as listed is stored";
    EXPECT_EQ(run.reloads, 1);
    EXPECT_EQ(run.notes['X'], 49);

    run.settings.Layout = "Gone";
    run.Ok(list);
    EXPECT_EQ(run.settings.Layout, "Piano") << "nothing selected: reloaded with the fall-back";
    EXPECT_EQ(run.reloads, 2);
    EXPECT_EQ(run.notes['Z'], 48);
}

TEST(SettingsDlgOk, WithNoLayoutFilesOkEmptiesTheLayoutAndReloadsTheFallBack) {
    DialogRun run;
    run.Ok({});
    EXPECT_EQ(run.settings.Layout, "Piano") << "the fall-back's name, though its file is gone";
    EXPECT_EQ(run.reloads, 1);
}

TEST(SettingsDlgOk, KillKeystrokesKeepsItsValueThroughAnyNumberOfOks) {
    for (bool stored : {false, true}) {
        DialogRun run;
        run.settings.KillKeystrokes = stored;
        for (int i = 0; i < 3; ++i) run.Ok({"Piano"});
        EXPECT_EQ(run.settings.KillKeystrokes, stored);
        EXPECT_EQ(run.reloads, 0);
    }
}

TEST(SettingsDlgPlacement, TheWholeTitleBarStaysOnAMonitorOrTheDialogMovesOntoTheNearest) {
    const ScreenRect first{0, 0, 1920, 1040}, second{1920, 0, 3200, 1024};
    struct Case {
        const char* what;
        ScreenPoint stored;
        std::vector<ScreenRect> workAreas;
        ScreenPoint expected;
    };
    const Case cases[] = {
        {"the factory position", {120, 120}, {first}, {120, 120}},
        {"on the second monitor", {2500, 300}, {first, second}, {2500, 300}},
        {"only the title bar on the monitor", {100, 1010}, {first}, {100, 1010}},
        {"in the corner", {1640, 690}, {first}, {1640, 690}},
        {"a 10 x 14 sliver", {1910, 1026}, {first}, {1640, 690}},
        {"the title bar a pixel too high", {100, -1}, {first}, {100, 0}},
        {"half of it past the left edge", {-140, 500}, {first}, {0, 500}},
        {"the title bar split between two monitors", {1700, 200}, {first, second}, {1640, 200}},
        {"more on the second one", {1840, 200}, {first, second}, {1920, 200}},
        {"where a second monitor used to be", {2500, 300}, {first}, {1640, 300}},
        {"nearer the second monitor", {3300, 1200}, {first, second}, {2920, 674}},
        {"a far-off stored number", {2147483600, -2147483600}, {first}, {1640, 0}},
        {"no monitor known", {-5000, 0}, {}, {-5000, 0}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(DialogPosition(c.stored, 280, 350, 30, c.workAreas), c.expected) << c.what;
    // Larger than the work area: the title bar stays at its top left.
    EXPECT_EQ(DialogPosition({5000, 0}, 400, 300, 30, {{0, 0, 200, 100}}), (ScreenPoint{0, 0}));
}

TEST(SettingsDlgUserGuide, TheGuideLiesBesideTheProgram) {
    EXPECT_EQ(UserGuidePath("C:\\Program Files\\MK\\MIDIKeyboard.exe"),
              "C:\\Program Files\\MK\\MIDIKeyboard User Guide.html");
    EXPECT_EQ(UserGuidePath("/opt/mk/MIDIKeyboard.exe"), "/opt/mk/MIDIKeyboard User Guide.html");
    EXPECT_EQ(UserGuidePath("MIDIKeyboard.exe"), "MIDIKeyboard User Guide.html");
}

} // namespace

} // namespace zevaver

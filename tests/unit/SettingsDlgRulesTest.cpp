#include "services/SettingsDlgRules.h"

#include "engine/Layout.h"
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

TEST(SettingsDlgHotKeys, EveryStoredShortcutComesBackUnchangedThroughItsField) {
    for (int32_t value : {0, 0x6045, 0x4071, 0x4075, 0x8041, 0x77, 0xE045, 0x2020})
        EXPECT_EQ(ShortcutFromHotKey(HotKeyFromShortcut(value)), value) << value;
    // Bits that mean nothing in a shortcut are not shown, so OK drops them.
    EXPECT_EQ(HotKeyFromShortcut(0x1041), HotKey('A'));
    EXPECT_EQ(HotKeyFromShortcut(-1), HotKey(0xFF, HotKeyShift | HotKeyControl | HotKeyAlt));
}

TEST(SettingsDlgLayouts, TheListHoldsTheNamesOfTheTxtFilesSortedWithoutRegardToCase) {
    const std::vector<std::string> found = {
        "Piano.txt", "chromatic.txt", "Single Row.txt", "My.Bass.txt", "notes.txtx",
        ".txt",      "ALPHA.TXT",     "readme",         "b.TXT",       "B.txt"};
    EXPECT_EQ(LayoutList(found), (std::vector<std::string>{"ALPHA", "b", "B", "chromatic",
                                                           "My.Bass", "Piano", "Single Row"}));
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

TEST(SettingsDlgPlacement, APositionOnAnyMonitorIsKeptAndOneOnNoneIsCentred) {
    const ScreenRect first{0, 0, 1920, 1080}, second{1920, 0, 3200, 1024};
    const ScreenRect firstWork{0, 0, 1920, 1040}, secondWork{1920, 0, 3200, 1024};
    struct Case {
        const char* what;
        ScreenPoint stored;
        std::vector<ScreenRect> monitors;
        ScreenRect mainWork;
        ScreenPoint expected;
    };
    const Case cases[] = {
        {"the factory position", {120, 120}, {first}, firstWork, {120, 120}},
        {"on the second monitor", {2500, 300}, {first, second}, firstWork, {2500, 300}},
        {"partly above the first monitor", {100, -200}, {first}, firstWork, {100, -200}},
        {"one pixel on the monitor", {1919, 1079}, {first}, firstWork, {1919, 1079}},
        {"just past the right edge", {1920, 100}, {first}, firstWork, {820, 345}},
        {"just above the top edge", {100, -350}, {first}, firstWork, {820, 345}},
        {"where a second monitor used to be", {2500, 300}, {first}, firstWork, {820, 345}},
        {"centred on the main window's monitor",
         {-5000, 0},
         {first, second},
         secondWork,
         {2420, 337}},
        {"a far-off stored number", {2147483600, 2147483600}, {first}, firstWork, {820, 345}},
        {"no monitor known", {120, 120}, {}, firstWork, {820, 345}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(DialogPosition(c.stored, 280, 350, c.monitors, c.mainWork), c.expected) << c.what;
    // Larger than the work area: the title bar stays at its top.
    EXPECT_EQ(DialogPosition({5000, 0}, 400, 300, {first}, {0, 0, 200, 100}), (ScreenPoint{0, 0}));
}

TEST(SettingsDlgUserGuide, TheGuideLiesBesideTheProgram) {
    EXPECT_EQ(UserGuidePath("C:\\Program Files\\MK\\MIDIKeyboard.exe"),
              "C:\\Program Files\\MK\\MIDIKeyboard.html");
    EXPECT_EQ(UserGuidePath("/opt/mk/MIDIKeyboard.exe"), "/opt/mk/MIDIKeyboard.html");
    EXPECT_EQ(UserGuidePath("MIDIKeyboard.exe"), "MIDIKeyboard.html");
}

} // namespace

} // namespace zevaver

#include "engine/SettingsStore.h"
#include "support/FakeRegistry.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <map>
#include <optional>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

namespace zevaver {

namespace {

using fakes::FakeRegistry;
using fakes::Key;
using ::testing::ElementsAre;
using ::testing::IsEmpty;
using Hive = RegistryHive;
using Strings = std::vector<std::string>;

// Every value in the store's order, with the text the factory defaults are saved as (the
// window centred on a 1024 x 768 screen, Vertical switched on).
// clang-format off
const std::vector<std::pair<std::string, std::string>> SavedDefaults = {
    {"Skin", "Zevizi"}, {"Layout", "Piano"}, {"Width", "716"}, {"Height", "140"}, {"Left", "154"},
    {"Top", "314"}, {"Note Width", "16"}, {"Velocity", "0"}, {"Device", "0"}, {"Channel", "1"},
    {"Base Octave", "0"}, {"Pedal Key", "-1"}, {"Shortcut Switch Enabled", "24645"},
    {"Shortcut Base Octave C2", "16497"}, {"Shortcut Base Octave C3", "16498"},
    {"Shortcut Base Octave C4", "16499"}, {"Shortcut Base Octave C5", "16500"},
    {"Shortcut Base Octave C6", "16501"}, {"Shortcuts Dialog Left", "120"},
    {"Shortcuts Dialog Top", "120"}, {"Vertical", "Yes"}, {"Enabled", "Yes"},
    {"Kill Keystrokes", "Yes"}, {"Device Name", ""}, {"Key Names", "No"},
    {"Keys By Position", "Yes"}, {"DPI", "0"},
};
// clang-format on

Strings ValueNames() {
    Strings names;
    for (const auto& [name, text] : SavedDefaults) names.push_back(name);
    return names;
}

TSettings Load(FakeRegistry& registry) {
    TSettings settings;
    LoadSettings(settings, registry, {1024, 768}, [&](const auto& m) { registry.Report(m); });
    EXPECT_FALSE(registry.open) << "the key is closed again";
    return settings;
}

bool Save(const TSettings& settings, FakeRegistry& registry) {
    const bool ok = SaveSettings(settings, registry, [&](const auto& m) { registry.Report(m); });
    EXPECT_FALSE(registry.open) << "the key is closed again";
    return ok;
}

auto Fields(const TSettings& s) {
    return std::tie(s.Width, s.Height, s.Top, s.Left, s.NoteWidth, s.Vertical, s.Skin, s.Velocity,
                    s.Enabled, s.Device, s.Channel, s.BaseOctave, s.PedalKey, s.Shortcuts,
                    s.ShortcutsDialogLeft, s.ShortcutsDialogTop, s.KillKeystrokes, s.Layout,
                    s.DeviceName, s.KeyNames, s.KeysByPosition);
}

TSettings CentredDefaults() {
    TSettings expected;
    expected.Top = 314;
    expected.Left = 154;
    return expected;
}

TEST(CenterOnScreen, HalvesEachTermSeparately) {
    TSettings s;
    s.Width = 717;
    s.Height = 141;
    CenterOnScreen(s, {1024, 768}); // 512 - 358 and 384 - 70, not (1024 - 717) / 2
    EXPECT_EQ(std::pair(s.Left, s.Top), std::pair(154, 314));
    CenterOnScreen(s, {600, 100});
    EXPECT_EQ(std::pair(s.Left, s.Top), std::pair(-58, -20));
}

TEST(LoadSettings, WithNoKeyOrOneThatCannotBeOpenedKeepsTheDefaultsAndCentresTheWindow) {
    FakeRegistry registry;
    EXPECT_EQ(Fields(Load(registry)), Fields(CentredDefaults()));
    EXPECT_THAT(registry.opens, IsEmpty());
    EXPECT_TRUE(registry.keys.empty()) << "loading creates nothing";

    registry.keys[Hive::CurrentUser]["Width"] = "900";
    registry.failOpen = true;
    EXPECT_EQ(Fields(Load(registry)), Fields(CentredDefaults()));
    EXPECT_THAT(registry.reads, IsEmpty());
    EXPECT_THAT(registry.errors, IsEmpty());
}

TEST(LoadSettings, ReadsEveryValueOnceInOrderAndMissingValuesGiveZerosAndEmptyTexts) {
    FakeRegistry registry;
    registry.keys[Hive::CurrentUser]["Skin"] = "Midnight";
    TSettings expected; // the Yes/No fields keep their defaults
    expected.Width = expected.Height = expected.NoteWidth = expected.Velocity = 0;
    expected.Device = expected.Channel = expected.PedalKey = 0;
    expected.ShortcutsDialogLeft = expected.ShortcutsDialogTop = 0;
    expected.Shortcuts = {};
    expected.Skin = "Midnight";
    expected.Layout = "";
    expected.KeysByPosition = false; // settings of an earlier version
    EXPECT_EQ(Fields(Load(registry)), Fields(expected));
    EXPECT_THAT(registry.errors, IsEmpty());
    EXPECT_EQ(registry.reads, ValueNames());
    EXPECT_THAT(registry.opens, ElementsAre(std::pair(Hive::CurrentUser, false)));
}

TEST(LoadSettings, KnowsKeysByPositionForANewUserAndByTheirCodesAfterAnUpgrade) {
    FakeRegistry registry;
    EXPECT_TRUE(Load(registry).KeysByPosition) << "a first run";
    registry.keys[Hive::CurrentUser]; // a key holding none of the settings
    EXPECT_TRUE(Load(registry).KeysByPosition);
    EXPECT_EQ(Load(registry).Top, 314) << "is a first run too";
    registry.keys[Hive::CurrentUser]["Width"] = "800"; // an earlier version's settings
    EXPECT_FALSE(Load(registry).KeysByPosition);
    registry.keys[Hive::CurrentUser]["Keys By Position"] = "Yes";
    EXPECT_TRUE(Load(registry).KeysByPosition);
    registry.keys[Hive::CurrentUser]["Keys By Position"] = "No";
    EXPECT_FALSE(Load(registry).KeysByPosition);
    registry.keys[Hive::CurrentUser]["Keys By Position"] = std::nullopt; // of another type
    EXPECT_TRUE(Load(registry).KeysByPosition) << "reported, the default kept";
}

TEST(LoadSettings, TreatsUnusableTextTheWayEachKindOfValueSays) {
    FakeRegistry registry;
    registry.keys[Hive::CurrentUser] = {
        {"Width", "800px"},  {"Height", " 200"},          {"Channel", "$A"},
        {"Pedal Key", "-1"}, {"Velocity", "99999999999"}, {"Vertical", "yes"},
        {"Enabled", "NO"},   {"Kill Keystrokes", "0"},    {"Key Names", "yes"},
    };
    const TSettings s = Load(registry);
    EXPECT_EQ(std::tie(s.Width, s.Height, s.Channel, s.PedalKey, s.Velocity),
              std::tuple(0, 200, 10, -1, 0));
    EXPECT_EQ(std::tie(s.Vertical, s.Enabled, s.KillKeystrokes, s.KeyNames),
              std::tuple(false, true, true, false))
        << "Yes/No values in another case are ignored";
}

TEST(LoadSettings, ReportsAWrongTypedValueKeepsItsFieldAndGoesOn) {
    FakeRegistry registry;
    Key& key = registry.keys[Hive::CurrentUser];
    for (const char* name : {"Skin", "Width", "Vertical"}) key[name] = std::nullopt;
    key["Height"] = "300";
    key["Kill Keystrokes"] = "No";
    const TSettings s = Load(registry);
    EXPECT_THAT(registry.errors,
                ElementsAre("Invalid data type for 'Skin'", "Invalid data type for 'Width'",
                            "Invalid data type for 'Vertical'"));
    EXPECT_EQ(std::tie(s.Skin, s.Width, s.Vertical), std::tuple("Zevizi", 716, false));
    EXPECT_EQ(std::tie(s.Height, s.KillKeystrokes), std::tuple(300, false));
    EXPECT_EQ(registry.reads, ValueNames());
}

TEST(LoadSettings, CarriesOverAMachineWideKeyWhenTheUserHasNoneAndSavesItForTheUser) {
    FakeRegistry registry;
    registry.keys[Hive::LocalMachine]["Width"] = "900";
    const TSettings s = Load(registry);
    EXPECT_EQ(s.Width, 900);
    EXPECT_EQ(s.Top, 0) << "a carried-over key is no first run";
    EXPECT_THAT(registry.opens, ElementsAre(std::pair(Hive::LocalMachine, false)));
    EXPECT_EQ(registry.keys.count(Hive::CurrentUser), 0u) << "loading creates nothing";

    EXPECT_TRUE(Save(s, registry));
    EXPECT_EQ(registry.keys[Hive::CurrentUser]["Width"], "900");
    EXPECT_EQ(registry.keys[Hive::LocalMachine].size(), 1u) << "the old key is left alone";
    registry.keys[Hive::CurrentUser]["Width"] = "800";
    EXPECT_EQ(Load(registry).Width, 800);
}

TEST(SaveSettings, WritesEveryValueInOrderToTheUsersKey) {
    FakeRegistry registry;
    TSettings s = CentredDefaults();
    s.Vertical = true;
    EXPECT_TRUE(Save(s, registry));
    EXPECT_THAT(registry.opens, ElementsAre(std::pair(Hive::CurrentUser, true)));
    EXPECT_EQ(registry.writes, ValueNames());
    std::vector<std::pair<std::string, std::string>> stored;
    for (const auto& [name, text] : SavedDefaults) {
        stored.emplace_back(name, registry.keys[Hive::CurrentUser][name].value_or("?"));
    }
    EXPECT_EQ(stored, SavedDefaults);
}

TEST(SaveSettings, RoundTripsEveryFieldIncludingNegativesAndEmptyTexts) {
    TSettings s;
    std::tie(s.Width, s.Height, s.Top, s.Left, s.NoteWidth, s.Velocity) =
        std::tuple(1000, 200, -5, -1200, 7, 127);
    std::tie(s.Device, s.Channel, s.BaseOctave, s.PedalKey) = std::tuple(-1, 16, -24, -1);
    std::tie(s.ShortcutsDialogLeft, s.ShortcutsDialogTop) = std::pair(-3, INT32_MAX);
    std::tie(s.Vertical, s.Enabled, s.KillKeystrokes) = std::tuple(true, false, false);
    s.KeyNames = true;
    s.Shortcuts = {0, 1, 2, 0x2000 | 0x41, 0x8000 | 0x71, INT32_MIN};
    s.Skin = "";
    s.Layout = "My Layout";
    s.DeviceName = "USB MIDI 2 [Port 1]";
    FakeRegistry registry;
    EXPECT_TRUE(Save(s, registry));
    EXPECT_EQ(registry.keys[Hive::CurrentUser]["Pedal Key"], "-1");
    EXPECT_EQ(Fields(Load(registry)), Fields(s));
    EXPECT_THAT(registry.errors, IsEmpty());
}

TEST(SaveSettings, StopsAtTheFirstFailedWriteAndSaysWhichValue) {
    FakeRegistry registry;
    registry.failWriteOf = "Velocity";
    EXPECT_FALSE(Save(TSettings{}, registry));
    EXPECT_THAT(registry.errors, ElementsAre("Failed to set data for 'Velocity'"));
    EXPECT_THAT(registry.writes,
                ElementsAre("Skin", "Layout", "Width", "Height", "Left", "Top", "Note Width"));

    FakeRegistry unopenable;
    unopenable.failOpen = true;
    EXPECT_FALSE(Save(TSettings{}, unopenable));
    EXPECT_THAT(unopenable.errors, ElementsAre("Failed to set data for 'Skin'"));
    EXPECT_THAT(unopenable.writes, IsEmpty());
}

TEST(SaveSettings, AStoreThatCannotKeepTheWholeSaveAtTheEndReportsTheFirstValue) {
    FakeRegistry registry;
    registry.failFlush = true;
    EXPECT_FALSE(Save(TSettings{}, registry));
    EXPECT_EQ(registry.flushes, 1);
    EXPECT_THAT(registry.errors, ElementsAre("Failed to set data for 'Skin'"));
    EXPECT_FALSE(registry.open);

    FakeRegistry failedWrite;
    failedWrite.failWriteOf = "Top";
    EXPECT_FALSE(Save(TSettings{}, failedWrite));
    EXPECT_EQ(failedWrite.flushes, 0) << "a save that failed on the way is not kept";
}

} // namespace

} // namespace zevaver

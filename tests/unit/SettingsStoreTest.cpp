#include "engine/SettingsStore.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <map>
#include <optional>
#include <string>
#include <vector>

namespace {

using ::testing::ElementsAre;
using ::testing::ElementsAreArray;
using ::testing::IsEmpty;

// clang-format off
const std::vector<std::string> ValueNamesInOrder = {
    "Skin", "Layout", "Width", "Height", "Left", "Top", "Note Width", "Velocity", "Device",
    "Channel", "Base Octave", "Pedal Key", "Shortcut Switch Enabled", "Shortcut Base Octave C2",
    "Shortcut Base Octave C3", "Shortcut Base Octave C4", "Shortcut Base Octave C5",
    "Shortcut Base Octave C6", "Shortcuts Dialog Left", "Shortcuts Dialog Top", "Vertical",
    "Enabled", "Kill Keystrokes",
};
// clang-format on

struct StoredValue {
    bool isString = true;
    std::string text;
};
using Key = std::map<std::string, StoredValue>;

// Keys in memory, per hive and path, with a log of what the store asked for.
class FakeRegistry final : public SettingsRegistry {
public:
    std::map<std::pair<RegistryHive, std::string>, Key> keys;
    std::optional<std::string> failWriteOf;
    bool failOpen = false;
    std::vector<std::string> reads;
    std::vector<std::string> writes;
    std::vector<std::pair<RegistryHive, bool>> opens;
    bool open = false;

    Key& At(RegistryHive hive, std::string_view path = SettingsKeyPath) {
        return keys[{hive, std::string(path)}];
    }
    bool Has(RegistryHive hive, std::string_view path = SettingsKeyPath) const {
        return keys.count({hive, std::string(path)}) != 0;
    }

    bool KeyExists(RegistryHive hive, std::string_view path) override { return Has(hive, path); }
    bool OpenKey(RegistryHive hive, std::string_view path, bool forWriting) override {
        opens.emplace_back(hive, forWriting);
        if (failOpen || (!forWriting && !Has(hive, path))) return false;
        current_ = &At(hive, path);
        open = true;
        return true;
    }
    RegistryText ReadString(const std::string& name) override {
        reads.push_back(name);
        auto found = current_->find(name);
        if (found == current_->end()) return {};
        if (!found->second.isString) return {RegistryText::Kind::WrongType, {}};
        return {RegistryText::Kind::Text, found->second.text};
    }
    bool WriteString(const std::string& name, const std::string& text) override {
        if (failWriteOf == name) return false;
        writes.push_back(name);
        (*current_)[name] = {true, text};
        return true;
    }
    void CloseKey() override {
        current_ = nullptr;
        open = false;
    }

private:
    Key* current_ = nullptr;
};

constexpr ScreenSize Screen1024{1024, 768};

struct Loaded {
    TSettings settings;
    std::vector<std::string> errors;
};

Loaded Load(FakeRegistry& registry, ScreenSize screen = Screen1024) {
    Loaded loaded;
    LoadSettings(loaded.settings, registry, screen,
                 [&](const std::string& message) { loaded.errors.push_back(message); });
    return loaded;
}

std::vector<std::string> Save(const TSettings& settings, FakeRegistry& registry, bool& ok) {
    std::vector<std::string> errors;
    ok = SaveSettings(settings, registry,
                      [&](const std::string& message) { errors.push_back(message); });
    return errors;
}

auto Fields(const TSettings& s) {
    return std::tie(s.Width, s.Height, s.Top, s.Left, s.NoteWidth, s.Vertical, s.Skin, s.Velocity,
                    s.Enabled, s.Device, s.Channel, s.BaseOctave, s.PedalKey, s.Shortcuts,
                    s.ShortcutsDialogLeft, s.ShortcutsDialogTop, s.KillKeystrokes, s.Layout);
}

TSettings CentredDefaults() {
    TSettings expected;
    expected.Top = 314;
    expected.Left = 154;
    return expected;
}

TEST(CenterOnScreen, HalvesEachTermSeparately) {
    struct Case {
        ScreenSize screen;
        int32_t width, height, left, top;
    };
    const Case cases[] = {
        {{1024, 768}, 716, 140, 154, 314},
        {{1920, 1080}, 716, 140, 602, 470},
        {{1025, 769}, 717, 141, 154, 314}, // 512 - 358, 384 - 70
        {{600, 100}, 716, 140, -58, -20},
    };
    for (const auto& c : cases) {
        TSettings s;
        s.Width = c.width;
        s.Height = c.height;
        CenterOnScreen(s, c.screen);
        EXPECT_EQ(s.Left, c.left) << c.screen.Width;
        EXPECT_EQ(s.Top, c.top) << c.screen.Height;
    }
}

TEST(LoadSettings, WithNoKeyKeepsTheDefaultsCentresTheWindowAndCreatesNothing) {
    FakeRegistry registry;
    Loaded loaded = Load(registry);
    EXPECT_EQ(Fields(loaded.settings), Fields(CentredDefaults()));
    EXPECT_THAT(loaded.errors, IsEmpty());
    EXPECT_THAT(registry.opens, IsEmpty());
    EXPECT_TRUE(registry.keys.empty());
}

TEST(LoadSettings, FromAnEmptyKeyGivesZerosEmptyTextsAndDefaultFlags) {
    FakeRegistry registry;
    registry.At(RegistryHive::CurrentUser);
    Loaded loaded = Load(registry);
    TSettings expected; // the Yes/No fields keep these defaults
    expected.Width = expected.Height = expected.NoteWidth = expected.Velocity = 0;
    expected.Device = expected.Channel = expected.PedalKey = 0;
    expected.ShortcutsDialogLeft = expected.ShortcutsDialogTop = 0;
    expected.Shortcuts = {};
    expected.Skin = expected.Layout = "";
    EXPECT_EQ(Fields(loaded.settings), Fields(expected));
    EXPECT_THAT(loaded.errors, IsEmpty());
    EXPECT_FALSE(registry.open) << "the key is closed again";
}

TEST(LoadSettings, ReadsEveryValueOnceInTheStoresOrderWithReadAccess) {
    FakeRegistry registry;
    registry.At(RegistryHive::CurrentUser);
    Load(registry);
    EXPECT_THAT(registry.reads, ElementsAreArray(ValueNamesInOrder));
    EXPECT_THAT(registry.opens, ElementsAre(std::pair(RegistryHive::CurrentUser, false)));
}

TEST(LoadSettings, ReadsEachFieldFromItsOwnValue) {
    FakeRegistry registry;
    Key& key = registry.At(RegistryHive::CurrentUser);
    for (size_t i = 0; i < ValueNamesInOrder.size(); ++i)
        key[ValueNamesInOrder[i]] = {true, std::to_string(100 + i)};
    key["Skin"].text = "Blue";
    key["Layout"].text = "Single Row";
    key["Vertical"].text = "Yes";
    key["Enabled"].text = "No";
    key["Kill Keystrokes"].text = "No";
    const TSettings s = Load(registry).settings;
    EXPECT_EQ(s.Skin, "Blue");
    EXPECT_EQ(s.Layout, "Single Row");
    EXPECT_EQ(s.Width, 102);
    EXPECT_EQ(s.Height, 103);
    EXPECT_EQ(s.Left, 104);
    EXPECT_EQ(s.Top, 105);
    EXPECT_EQ(s.NoteWidth, 106);
    EXPECT_EQ(s.Velocity, 107);
    EXPECT_EQ(s.Device, 108);
    EXPECT_EQ(s.Channel, 109);
    EXPECT_EQ(s.BaseOctave, 110);
    EXPECT_EQ(s.PedalKey, 111);
    EXPECT_THAT(s.Shortcuts, ElementsAre(112, 113, 114, 115, 116, 117));
    EXPECT_EQ(s.ShortcutsDialogLeft, 118);
    EXPECT_EQ(s.ShortcutsDialogTop, 119);
    EXPECT_TRUE(s.Vertical);
    EXPECT_FALSE(s.Enabled);
    EXPECT_FALSE(s.KillKeystrokes);
}

TEST(LoadSettings, TreatsUnusableTextTheWayEachKindOfValueSays) {
    FakeRegistry registry;
    Key& key = registry.At(RegistryHive::CurrentUser);
    key["Width"] = {true, "800px"};
    key["Height"] = {true, " 200"};
    key["Device"] = {true, "-1"};
    key["Channel"] = {true, "$A"};
    key["Pedal Key"] = {true, "-1"};
    key["Velocity"] = {true, "99999999999"};
    key["Vertical"] = {true, "yes"};
    key["Enabled"] = {true, "NO"};
    key["Kill Keystrokes"] = {true, "0"};
    key["Skin"] = {true, ""};
    const TSettings s = Load(registry).settings;
    EXPECT_EQ(s.Width, 0);
    EXPECT_EQ(s.Height, 200);
    EXPECT_EQ(s.Device, -1);
    EXPECT_EQ(s.Channel, 10);
    EXPECT_EQ(s.PedalKey, -1);
    EXPECT_EQ(s.Velocity, 0);
    EXPECT_FALSE(s.Vertical);
    EXPECT_TRUE(s.Enabled);
    EXPECT_TRUE(s.KillKeystrokes);
    EXPECT_EQ(s.Skin, "");
}

TEST(LoadSettings, ReportsAWrongTypedValueKeepsItsFieldAndGoesOn) {
    FakeRegistry registry;
    Key& key = registry.At(RegistryHive::CurrentUser);
    key["Skin"] = {false, ""};
    key["Width"] = {false, ""};
    key["Vertical"] = {false, ""};
    key["Height"] = {true, "300"};
    key["Kill Keystrokes"] = {true, "No"};
    Loaded loaded = Load(registry);
    EXPECT_THAT(loaded.errors,
                ElementsAre("Invalid data type for 'Skin'", "Invalid data type for 'Width'",
                            "Invalid data type for 'Vertical'"));
    EXPECT_EQ(loaded.settings.Skin, "Zevizi");
    EXPECT_EQ(loaded.settings.Width, 716);
    EXPECT_FALSE(loaded.settings.Vertical);
    EXPECT_EQ(loaded.settings.Height, 300);
    EXPECT_FALSE(loaded.settings.KillKeystrokes);
    EXPECT_EQ(registry.reads.size(), ValueNamesInOrder.size());
}

TEST(LoadSettings, CarriesOverAMachineWideKeyWhenTheUserHasNone) {
    FakeRegistry registry;
    registry.At(RegistryHive::LocalMachine)["Width"] = {true, "900"};
    Loaded loaded = Load(registry);
    EXPECT_EQ(loaded.settings.Width, 900);
    EXPECT_EQ(loaded.settings.Top, 0) << "a carried-over key is no first run";
    EXPECT_THAT(registry.opens, ElementsAre(std::pair(RegistryHive::LocalMachine, false)));
    EXPECT_FALSE(registry.Has(RegistryHive::CurrentUser)) << "loading creates nothing";
}

TEST(LoadSettings, PrefersTheUsersKeyToTheMachineWideOne) {
    FakeRegistry registry;
    registry.At(RegistryHive::LocalMachine)["Width"] = {true, "900"};
    registry.At(RegistryHive::CurrentUser)["Width"] = {true, "800"};
    EXPECT_EQ(Load(registry).settings.Width, 800);
    EXPECT_THAT(registry.opens, ElementsAre(std::pair(RegistryHive::CurrentUser, false)));
}

TEST(LoadSettings, TreatsAKeyThatCannotBeOpenedLikeAFirstRun) {
    FakeRegistry registry;
    registry.At(RegistryHive::CurrentUser)["Width"] = {true, "900"};
    registry.failOpen = true;
    EXPECT_EQ(Fields(Load(registry).settings), Fields(CentredDefaults()));
    EXPECT_THAT(registry.reads, IsEmpty());
}

TEST(SaveSettings, WritesAll23ValuesInOrderToTheUsersKey) {
    FakeRegistry registry;
    TSettings s;
    s.Top = 314;
    s.Left = 154;
    s.Vertical = true;
    bool ok = false;
    EXPECT_THAT(Save(s, registry, ok), IsEmpty());
    EXPECT_TRUE(ok);
    EXPECT_THAT(registry.opens, ElementsAre(std::pair(RegistryHive::CurrentUser, true)));
    EXPECT_THAT(registry.writes, ElementsAreArray(ValueNamesInOrder));
    EXPECT_FALSE(registry.open);
    const Key& key = registry.At(RegistryHive::CurrentUser);
    // clang-format off
    const std::map<std::string, std::string> expected = {
        {"Skin", "Zevizi"}, {"Layout", "Piano"}, {"Width", "716"}, {"Height", "140"},
        {"Left", "154"}, {"Top", "314"}, {"Note Width", "16"}, {"Velocity", "0"}, {"Device", "0"},
        {"Channel", "1"}, {"Base Octave", "0"}, {"Pedal Key", "-1"},
        {"Shortcut Switch Enabled", "24645"}, {"Shortcut Base Octave C2", "16497"},
        {"Shortcut Base Octave C3", "16498"}, {"Shortcut Base Octave C4", "16499"},
        {"Shortcut Base Octave C5", "16500"}, {"Shortcut Base Octave C6", "16501"},
        {"Shortcuts Dialog Left", "120"}, {"Shortcuts Dialog Top", "120"}, {"Vertical", "Yes"},
        {"Enabled", "Yes"}, {"Kill Keystrokes", "Yes"},
    };
    // clang-format on
    std::map<std::string, std::string> stored;
    for (const auto& [name, value] : key) stored[name] = value.text;
    EXPECT_EQ(stored, expected);
}

TEST(SaveSettings, WritesToTheUsersKeyEvenWhenLoadedFromTheMachineWideOne) {
    FakeRegistry registry;
    registry.At(RegistryHive::LocalMachine)["Width"] = {true, "900"};
    Loaded loaded = Load(registry);
    bool ok = false;
    EXPECT_THAT(Save(loaded.settings, registry, ok), IsEmpty());
    EXPECT_TRUE(ok);
    EXPECT_EQ(registry.At(RegistryHive::CurrentUser).at("Width").text, "900");
    EXPECT_EQ(registry.At(RegistryHive::LocalMachine).size(), 1u) << "the old key is left alone";
}

TEST(SaveSettings, RoundTripsEveryFieldIncludingNegativesAndEmptyTexts) {
    TSettings s;
    s.Width = 1000;
    s.Height = 200;
    s.Top = -5;
    s.Left = -1200;
    s.NoteWidth = 7;
    s.Vertical = true;
    s.Skin = "";
    s.Velocity = 127;
    s.Enabled = false;
    s.Device = -1;
    s.Channel = 16;
    s.BaseOctave = -24;
    s.PedalKey = -1;
    s.Shortcuts = {0, 1, 2, 0x2000 | 0x41, 0x8000 | 0x71, INT32_MIN};
    s.ShortcutsDialogLeft = -3;
    s.ShortcutsDialogTop = 2147483647;
    s.KillKeystrokes = false;
    s.Layout = "My Layout";
    FakeRegistry registry;
    bool ok = false;
    EXPECT_THAT(Save(s, registry, ok), IsEmpty());
    EXPECT_TRUE(ok);
    EXPECT_EQ(registry.At(RegistryHive::CurrentUser).at("Pedal Key").text, "-1");
    Loaded loaded = Load(registry);
    EXPECT_THAT(loaded.errors, IsEmpty());
    EXPECT_EQ(Fields(loaded.settings), Fields(s));
}

TEST(SaveSettings, StopsAtTheFirstFailedWriteAndSaysWhichValue) {
    FakeRegistry registry;
    registry.failWriteOf = "Velocity";
    bool ok = true;
    EXPECT_THAT(Save(TSettings{}, registry, ok), ElementsAre("Failed to set data for 'Velocity'"));
    EXPECT_FALSE(ok);
    EXPECT_THAT(registry.writes,
                ElementsAre("Skin", "Layout", "Width", "Height", "Left", "Top", "Note Width"));
    EXPECT_FALSE(registry.open) << "the key is closed after a failure too";
}

TEST(SaveSettings, ReportsAKeyThatCannotBeOpenedAsAFailureOfTheFirstValue) {
    FakeRegistry registry;
    registry.failOpen = true;
    bool ok = true;
    EXPECT_THAT(Save(TSettings{}, registry, ok), ElementsAre("Failed to set data for 'Skin'"));
    EXPECT_FALSE(ok);
    EXPECT_THAT(registry.writes, IsEmpty());
}

} // namespace

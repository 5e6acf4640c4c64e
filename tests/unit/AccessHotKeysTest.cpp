// The accessibility hot keys: off while the program runs for the features the user does not
// use, given back exactly at exit, and after a crash at the next start.
#include "services/AccessHotKeys.h"

#include "support/MapRegistry.h"

#include <gtest/gtest.h>

#include <map>

namespace zevaver {

namespace {

// Flags as a user's profile holds them: the feature available with its hot key and the
// question before it (0x7E for Sticky Keys on a new Windows, 0x7E for Filter Keys, 0x3E for
// Toggle Keys), the feature itself off.
constexpr uint32_t StickyDefault = 0x7E;
constexpr uint32_t ToggleDefault = 0x3E;

class FakeAccess final : public AccessSystem {
public:
    std::map<AccessFeature, uint32_t> flags;
    bool refuse = false; // as Wine does: every change fails
    int sets = 0;
    std::optional<uint32_t> Flags(AccessFeature feature) noexcept override {
        const auto found = flags.find(feature);
        if (found == flags.end()) return std::nullopt;
        return found->second;
    }
    bool SetFlags(AccessFeature feature, uint32_t value) noexcept override {
        if (refuse) return false;
        ++sets;
        flags[feature] = value;
        return true;
    }
};

class FakeRecord final : public AccessRecord {
public:
    std::string text;
    std::vector<std::string> written;
    std::string Read() override { return text; }
    bool Write(const std::string& value) override {
        written.push_back(value);
        text = value;
        return true;
    }
};

using F = AccessFeature;

TEST(AccessHotKeys, OnlyTheHotKeysOfFeaturesNotInUseAreSwitchedOff) {
    EXPECT_EQ(HotKeyFlagsToClear(StickyDefault), 0x0Cu) << "hot key and its question";
    EXPECT_EQ(HotKeyFlagsToClear(StickyDefault | AccessFeatureOn), 0u) << "a user of the feature";
    EXPECT_EQ(HotKeyFlagsToClear(0x72), 0u) << "its hot key is off already";
    EXPECT_EQ(HotKeyFlagsToClear(0x76), 0x04u) << "a hot key that asks nothing";
}

TEST(AccessHotKeys, AreOffWhileTheProgramRunsAndComeBackExactlyAtExit) {
    FakeAccess system;
    system.flags = {{F::StickyKeys, StickyDefault},
                    {F::FilterKeys, 0x7F}, // in use
                    {F::ToggleKeys, ToggleDefault}};
    FakeRecord record;
    AccessHotKeys hotKeys(system, record);
    hotKeys.SwitchOff();
    EXPECT_EQ(system.flags[F::StickyKeys], 0x72u);
    EXPECT_EQ(system.flags[F::FilterKeys], 0x7Fu);
    EXPECT_EQ(system.flags[F::ToggleKeys], 0x32u);
    ASSERT_EQ(record.written.size(), 1u) << "written down before the change";
    EXPECT_EQ(record.text, "12 0 12");

    // Meanwhile the user turns Sticky Keys on in the system's settings: that stays.
    system.flags[F::StickyKeys] |= AccessFeatureOn;
    hotKeys.Restore();
    EXPECT_EQ(system.flags[F::StickyKeys], StickyDefault | AccessFeatureOn);
    EXPECT_EQ(system.flags[F::FilterKeys], 0x7Fu);
    EXPECT_EQ(system.flags[F::ToggleKeys], ToggleDefault);
    EXPECT_EQ(record.text, "");
    const int sets = system.sets;
    hotKeys.Restore();
    EXPECT_EQ(system.sets, sets) << "once";
}

TEST(AccessHotKeys, AStartAfterACrashGivesBackWhatTheLastRunTook) {
    FakeAccess system;
    system.flags = {{F::StickyKeys, 0x72}, {F::FilterKeys, 0x72}, {F::ToggleKeys, 0x32}};
    FakeRecord record;
    record.text = "12 12 12"; // the last run ended without giving them back
    {
        AccessHotKeys hotKeys(system, record);
        hotKeys.SwitchOff();
        EXPECT_EQ(system.flags[F::StickyKeys], 0x72u) << "off again for this run";
        EXPECT_EQ(record.text, "12 12 12");
        // This run crashes too: the system's part comes back from its last moments.
        hotKeys.RestoreSystem();
    }
    EXPECT_EQ(system.flags[F::StickyKeys], StickyDefault);
    EXPECT_EQ(system.flags[F::ToggleKeys], ToggleDefault);
    EXPECT_EQ(record.text, "12 12 12") << "no registry from a crashing process";

    // Only hot-key flags are ever given back, whatever the record says.
    EXPECT_EQ(ParseAccessRecord("255 x 13"), (std::array<uint32_t, 3>{12, 0, 12}));
}

TEST(AccessHotKeys, WhereTheSystemKeepsNoneNothingIsChangedOrWritten) {
    FakeAccess system; // nothing can be read
    FakeRecord record;
    AccessHotKeys unreadable(system, record);
    unreadable.SwitchOff();
    unreadable.Restore();
    EXPECT_TRUE(record.written.empty());

    // Wine reports every flag 0 and refuses changes.
    system.flags = {{F::StickyKeys, 0}, {F::FilterKeys, 0}, {F::ToggleKeys, 0}};
    system.refuse = true;
    AccessHotKeys wine(system, record);
    wine.SwitchOff();
    EXPECT_FALSE(wine.AnyOff());
    EXPECT_TRUE(record.written.empty());

    // A system that shows the flags but refuses the change: the record is taken back.
    system.flags[F::StickyKeys] = StickyDefault;
    AccessHotKeys refusing(system, record);
    refusing.SwitchOff();
    EXPECT_EQ(record.written, (std::vector<std::string>{"12 0 0", ""}));
}

TEST(AccessHotKeys, TheRecordLivesInTheSettingsKeyWithoutMakingItSettings) {
    fakes::MapRegistry registry;
    RegistryAccessRecord record(registry, "Software\\Test");
    EXPECT_EQ(record.Read(), "") << "no key yet";
    ASSERT_TRUE(record.Write("12 0 12"));
    EXPECT_EQ(record.Read(), "12 0 12");

    TSettings settings;
    LoadSettings(settings, registry, {1000, 800}, {}, "Software\\Test");
    EXPECT_EQ(settings.Left, 500 - 716 / 2) << "a key holding only the record is a first run";
    EXPECT_TRUE(settings.KeysByPosition);
}

} // namespace

} // namespace zevaver

// The accessibility hot keys on the platform: what Wine keeps of them (nothing), and the
// guard the main window holds, through a stand-in for the system's flags.
#include "services/win/WinAccessHotKeys.h"

#include "support/FakeRegistry.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <map>

namespace zevaver {

namespace {

class FakeFlags final : public AccessSystem {
public:
    std::map<AccessFeature, uint32_t> flags{{AccessFeature::StickyKeys, 0x7E},
                                            {AccessFeature::FilterKeys, 0x7F},
                                            {AccessFeature::ToggleKeys, 0x3E}};
    std::optional<uint32_t> Flags(AccessFeature feature) noexcept override {
        return flags.at(feature);
    }
    bool SetFlags(AccessFeature feature, uint32_t value) noexcept override {
        flags[feature] = value;
        return true;
    }
};

TEST(WinAccessHotKeys, TheSystemsFlagsReadAndWrittenForTheSessionAsTheSystemKeepsThem) {
    WinAccessSystem system;
    for (AccessFeature feature : AccessFeatures) {
        const std::optional<uint32_t> flags = system.Flags(feature);
        ASSERT_TRUE(flags) << "every Windows answers";
        // Written back as they are: no change, wherever the system takes changes.
        const bool written = system.SetFlags(feature, *flags);
        EXPECT_EQ(system.Flags(feature), flags);
        if (!written) {
            EXPECT_EQ(*flags, 0u) << "only Wine refuses, and it reports all off";
        }
    }
}

TEST(WinAccessHotKeys, TheGuardSwitchesOffWritesDownAndGivesBackOnce) {
    FakeFlags system;
    fakes::FakeRegistry registry;
    {
        AccessHotKeysGuard guard(registry, std::string(SettingsKeyPath), &system);
        guard.Start();
        EXPECT_EQ(system.flags[AccessFeature::StickyKeys], 0x72u);
        EXPECT_EQ(system.flags[AccessFeature::FilterKeys], 0x7Fu) << "in use: left alone";
        EXPECT_EQ(system.flags[AccessFeature::ToggleKeys], 0x32u);
        EXPECT_EQ(registry.User()[std::string(RegistryAccessRecord::ValueName)], "12 0 12");
        // A crash now would give them back from the unhandled-exception filter, which is
        // ours while they are off.
        const LPTOP_LEVEL_EXCEPTION_FILTER ours = SetUnhandledExceptionFilter(nullptr);
        EXPECT_NE(ours, nullptr);
        SetUnhandledExceptionFilter(ours);
        guard.Stop();
        EXPECT_EQ(system.flags[AccessFeature::StickyKeys], 0x7Eu);
        EXPECT_EQ(system.flags[AccessFeature::ToggleKeys], 0x3Eu);
        EXPECT_EQ(registry.User()[std::string(RegistryAccessRecord::ValueName)], "");
        system.flags[AccessFeature::StickyKeys] = 0x72; // the user's own change
    }                                                   // the guard goes: nothing more
    EXPECT_EQ(system.flags[AccessFeature::StickyKeys], 0x72u);
}

} // namespace

} // namespace zevaver

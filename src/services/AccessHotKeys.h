// The system's accessibility hot keys, out of a pianist's way. Shift pressed five times in a
// row (a pedal worked on Shift) asks whether to turn Sticky Keys on, right Shift held for
// eight seconds (a long pedal) asks about Filter Keys, Num Lock held for five seconds about
// Toggle Keys; each question takes the focus from the music program. While the program
// runs, the hot key of each of these features is off for a user who has the feature itself
// off; a user who has it on keeps it as it is. The change is made for the session only and
// undone exactly at exit; what was switched off is written down first, so that a start after
// a crash puts it back.
#pragma once

#include "engine/SettingsStore.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

namespace zevaver {

enum class AccessFeature : uint8_t { StickyKeys, FilterKeys, ToggleKeys };
inline constexpr std::array<AccessFeature, 3> AccessFeatures = {
    AccessFeature::StickyKeys, AccessFeature::FilterKeys, AccessFeature::ToggleKeys};

// The features' flags, as the platform lays them out (alike for all three).
inline constexpr uint32_t AccessFeatureOn = 0x01;
inline constexpr uint32_t AccessHotKeyActive = 0x04;
inline constexpr uint32_t AccessConfirmHotKey = 0x08; // the question before the switch

// The flags a feature's hot key is switched off with: none while the user has the feature
// on, or its hot key is off already.
[[nodiscard]] uint32_t HotKeyFlagsToClear(uint32_t flags) noexcept;

// What the platform keeps of the features.
class AccessSystem {
public:
    // Nothing when the flags cannot be read.
    [[nodiscard]] virtual std::optional<uint32_t> Flags(AccessFeature feature) noexcept = 0;
    // For this session only, never into the user's profile.
    [[nodiscard]] virtual bool SetFlags(AccessFeature feature, uint32_t flags) noexcept = 0;

protected:
    ~AccessSystem() = default;
};

// Where the flags switched off are written down until they are back ("" when nothing is
// off), read at the next start.
class AccessRecord {
public:
    [[nodiscard]] virtual std::string Read() = 0;
    [[nodiscard]] virtual bool Write(const std::string& text) = 0;

protected:
    ~AccessRecord() = default;
};

// The record as a string value of the program's settings key (beside the settings, but no
// setting: the key holding it alone is no user's settings).
class RegistryAccessRecord final : public AccessRecord {
public:
    static constexpr std::string_view ValueName = "Accessibility Hot Keys Off";
    RegistryAccessRecord(SettingsRegistry& registry, std::string keyPath)
        : registry_(registry), keyPath_(std::move(keyPath)) {}
    [[nodiscard]] std::string Read() override;
    [[nodiscard]] bool Write(const std::string& text) override;

private:
    SettingsRegistry& registry_;
    std::string keyPath_;
};

// The record's text for the flags switched off, by feature, and back.
[[nodiscard]] std::string AccessRecordText(const std::array<uint32_t, 3>& cleared);
[[nodiscard]] std::array<uint32_t, 3> ParseAccessRecord(std::string_view text) noexcept;

class AccessHotKeys {
public:
    AccessHotKeys(AccessSystem& system, AccessRecord& record) noexcept
        : system_(system), record_(record) {}
    AccessHotKeys(const AccessHotKeys&) = delete;
    AccessHotKeys& operator=(const AccessHotKeys&) = delete;

    // At start: first puts back what a run that did not end cleanly left switched off, then
    // switches off the hot keys of the features not in use, having written them down.
    void SwitchOff();
    // Gives back exactly the flags SwitchOff took (whatever else changed meanwhile stays)
    // and clears the record. Later calls do nothing.
    void Restore();
    // The system's part of Restore alone, for a process about to end abnormally: no memory
    // is taken, no file or registry touched (the record then puts it back at the next
    // start, harmlessly).
    void RestoreSystem() noexcept;
    [[nodiscard]] bool AnyOff() const noexcept;

private:
    void GiveBack(const std::array<uint32_t, 3>& flags) noexcept;

    AccessSystem& system_;
    AccessRecord& record_;
    std::array<uint32_t, 3> cleared_{};
};

} // namespace zevaver

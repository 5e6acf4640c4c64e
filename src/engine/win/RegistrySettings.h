// The settings store on the Windows registry, and loading and saving a record straight
// from and to a key of it.
#pragma once

#include "engine/Layout.h"
#include "engine/SettingsStore.h"
#include "framework/win/Handles.h"
#include "framework/win/Registry.h"

#include <string_view>

namespace zevaver {

class Win32SettingsRegistry final : public SettingsRegistry {
public:
    [[nodiscard]] bool KeyExists(RegistryHive hive, std::string_view path) override;
    [[nodiscard]] bool OpenKey(RegistryHive hive, std::string_view path, bool forWriting) override;
    [[nodiscard]] RegistryText ReadString(const std::string& name) override;
    [[nodiscard]] bool WriteString(const std::string& name, const std::string& text) override;
    [[nodiscard]] RegistryText ReadUnicodeString(const std::string& name) override;
    [[nodiscard]] bool WriteUnicodeString(const std::string& name,
                                          const std::string& text) override;
    void CloseKey() override;

private:
    [[nodiscard]] static RegistryText TextOf(fw::RegistryString value);

    fw::RegKey key_;
};

// The primary screen's size, where a first run is centred.
[[nodiscard]] ScreenSize PrimaryScreen() noexcept;

// The record from the given key (HKEY_CURRENT_USER, else HKEY_LOCAL_MACHINE), centred on
// the primary screen on a first run; failures go to fw::ReportError.
void LoadSettings(TSettings& settings, std::string_view keyPath);
[[nodiscard]] bool SaveSettings(const TSettings& settings, std::string_view keyPath);

} // namespace zevaver

#include "engine/win/RegistrySettings.h"

#include "framework/win/Application.h"
#include "framework/win/Registry.h"

#include <string>

namespace zevaver {

namespace {

HKEY RootOf(RegistryHive hive) noexcept {
    return hive == RegistryHive::LocalMachine ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER;
}

void Report(const std::string& message) {
    fw::ReportError(message);
}

} // namespace

ScreenSize PrimaryScreen() noexcept {
    return {GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
}

bool Win32SettingsRegistry::KeyExists(RegistryHive hive, std::string_view path) {
    return fw::RegistryKeyExists(RootOf(hive), std::string(path));
}

bool Win32SettingsRegistry::OpenKey(RegistryHive hive, std::string_view path, bool forWriting) {
    // Reading asks for no more than read rights, so a machine-wide key left by an
    // earlier version can be read by a standard user.
    key_ = forWriting ? fw::CreateRegistryKey(RootOf(hive), std::string(path))
                      : fw::OpenRegistryKey(RootOf(hive), std::string(path), KEY_READ);
    return key_.valid();
}

RegistryText Win32SettingsRegistry::ReadString(const std::string& name) {
    if (!key_) return {};
    return TextOf(fw::ReadRegistryString(key_.get(), name));
}

RegistryText Win32SettingsRegistry::ReadUnicodeString(const std::string& name) {
    if (!key_) return {};
    return TextOf(fw::ReadRegistryUnicodeString(key_.get(), name));
}

bool Win32SettingsRegistry::WriteUnicodeString(const std::string& name, const std::string& text) {
    return key_ && fw::WriteRegistryUnicodeString(key_.get(), name, text);
}

RegistryText Win32SettingsRegistry::TextOf(fw::RegistryString value) {
    switch (value.status) {
    case fw::RegistryString::Status::Text:
        return {RegistryText::Kind::Text, std::move(value.text)};
    case fw::RegistryString::Status::WrongType:
        return {RegistryText::Kind::WrongType, {}};
    case fw::RegistryString::Status::Missing:
        break;
    }
    return {};
}

bool Win32SettingsRegistry::WriteString(const std::string& name, const std::string& text) {
    return key_ && fw::WriteRegistryString(key_.get(), name, text);
}

void Win32SettingsRegistry::CloseKey() {
    key_.reset();
}

void LoadSettings(TSettings& settings, std::string_view keyPath) {
    Win32SettingsRegistry registry;
    LoadSettings(settings, registry, PrimaryScreen(), &Report, keyPath);
}

bool SaveSettings(const TSettings& settings, std::string_view keyPath) {
    Win32SettingsRegistry registry;
    return SaveSettings(settings, registry, &Report, keyPath);
}

} // namespace zevaver

// The current user's settings key as a map of texts in memory, so a test or benchmark of
// the window leaves the real registry alone.
#pragma once

#include "engine/SettingsStore.h"

#include <map>
#include <string>
#include <string_view>
#include <utility>

namespace zevaver {

namespace fakes {

class MapRegistry final : public SettingsRegistry {
public:
    MapRegistry() = default;
    explicit MapRegistry(std::map<std::string, std::string> initial) : values(std::move(initial)) {}

    std::map<std::string, std::string> values;

    bool KeyExists(RegistryHive hive, std::string_view) override {
        return hive == RegistryHive::CurrentUser;
    }
    bool OpenKey(RegistryHive hive, std::string_view, bool) override {
        return hive == RegistryHive::CurrentUser;
    }
    RegistryText ReadString(const std::string& name) override {
        const auto found = values.find(name);
        if (found == values.end()) return {};
        return {RegistryText::Kind::Text, found->second};
    }
    bool WriteString(const std::string& name, const std::string& text) override {
        values[name] = text;
        return true;
    }
    void CloseKey() override {}
};

} // namespace fakes

} // namespace zevaver

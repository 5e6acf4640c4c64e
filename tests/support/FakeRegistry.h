// The settings store in memory, one key per hive, with a log of what was asked of it:
// shared by the unit tests and the Windows tests.
#pragma once

#include "engine/SettingsStore.h"

#include <gtest/gtest.h>

#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace zevaver {

namespace fakes {

using Hive = RegistryHive;
using Strings = std::vector<std::string>;

// A value held as text, or nullopt for one of a non-string type.
using Key = std::map<std::string, std::optional<std::string>>;

// Keys in memory per hive, with a log of what the store asked for and reported.
class FakeRegistry final : public SettingsRegistry {
public:
    std::map<Hive, Key> keys;
    std::optional<std::string> failWriteOf;
    bool failOpen = false, open = false;
    // A store that keeps the values until the end fails to keep them then.
    bool failFlush = false;
    int flushes = 0;
    Strings reads, writes, errors;
    std::vector<std::pair<Hive, bool>> opens;

    bool KeyExists(Hive hive, std::string_view path) override {
        EXPECT_EQ(path, SettingsKeyPath);
        return keys.count(hive) != 0;
    }
    bool OpenKey(Hive hive, std::string_view path, bool forWriting) override {
        EXPECT_EQ(path, SettingsKeyPath);
        opens.emplace_back(hive, forWriting);
        if (failOpen || (!forWriting && keys.count(hive) == 0)) return false;
        current_ = &keys[hive];
        return open = true;
    }
    RegistryText ReadString(const std::string& name) override {
        reads.push_back(name);
        const auto found = current_->find(name);
        if (found == current_->end()) return {};
        if (!found->second) return {RegistryText::Kind::WrongType, {}};
        return {RegistryText::Kind::Text, *found->second};
    }
    bool WriteString(const std::string& name, const std::string& text) override {
        if (failWriteOf == name) return false;
        writes.push_back(name);
        (*current_)[name] = text;
        return true;
    }
    bool Flush() override {
        ++flushes;
        return !failFlush;
    }
    void CloseKey() override { open = false; }
    void Report(const std::string& message) { errors.push_back(message); }
    // The program's own key of the current user.
    Key& User() { return keys[Hive::CurrentUser]; }

private:
    Key* current_ = nullptr;
};

} // namespace fakes

} // namespace zevaver

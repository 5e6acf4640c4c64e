// Layout files in memory; a file can be made to break off at its end, and paths can be
// made unwritable.
#pragma once

#include "engine/Layout.h"

#include <map>
#include <set>
#include <string>
#include <vector>

namespace zevaver {

namespace fakes {

class FakeFiles final : public LayoutFiles {
public:
    std::map<std::string, FileBytes> files;
    bool Exists(const std::string& path) override { return files.count(path) != 0; }
    FileBytes ReadAll(const std::string& path) override { return files.at(path); }
    std::set<std::string> unwritable;
    std::vector<std::string> writes; // the paths written, in order
    bool WriteAll(const std::string& path, std::string_view bytes) override {
        if (unwritable.count(path) != 0) return false;
        writes.push_back(path);
        files[path] = {std::string(bytes), true};
        return true;
    }
    // The user's own layouts; none by default, so the shipped files are written.
    std::string userFolder;
    std::string UserFolder() override { return userFolder; }
    bool Remove(const std::string& path) override {
        if (unwritable.count(path) != 0) return false;
        files.erase(path);
        return true;
    }
    [[nodiscard]] const std::string& Text(const std::string& path) const {
        return files.at(path).bytes;
    }
};

} // namespace fakes

} // namespace zevaver

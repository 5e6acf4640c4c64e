// Layout files in memory; a file can be made to break off at its end.
#pragma once

#include "engine/Layout.h"

#include <map>
#include <string>

namespace zevaver {

namespace fakes {

class FakeFiles final : public LayoutFiles {
public:
    std::map<std::string, FileBytes> files;
    bool Exists(const std::string& path) override { return files.count(path) != 0; }
    FileBytes ReadAll(const std::string& path) override { return files.at(path); }
};

} // namespace fakes

} // namespace zevaver

// Layout files on Linux, looked for in the data folders in turn (the user's own, beside the
// program, the system's): the first that has a file gives it. A changed layout is written
// where it was found when that folder may be written, else into the user's own folder,
// where it then shadows the one that came with the program.
#pragma once

#include "engine/Layout.h"

#include <string>
#include <vector>

namespace zevaver {

class LinuxLayoutFiles final : public LayoutFiles {
public:
    // roots: first first; fw::DataRoots() when none are given.
    explicit LinuxLayoutFiles(std::vector<std::string> roots = {});

    [[nodiscard]] bool Exists(const std::string& path) override;
    [[nodiscard]] FileBytes ReadAll(const std::string& path) override;
    [[nodiscard]] bool WriteAll(const std::string& path, std::string_view bytes) override;

    // The file a relative path stands for, or "" when no root has it.
    [[nodiscard]] std::string Find(const std::string& path) const;
    // The names of the files in a relative folder of every root (the user's first), as the
    // settings dialog lists the layouts of both the user's and the shipped folder.
    [[nodiscard]] std::vector<std::string> FileNames(const std::string& folder) const;

private:
    std::vector<std::string> roots_;
};

} // namespace zevaver

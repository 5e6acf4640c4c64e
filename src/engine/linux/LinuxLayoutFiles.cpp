#include "engine/linux/LinuxLayoutFiles.h"

#include "framework/linux/Folders.h"

#include <unistd.h>

namespace zevaver {

LinuxLayoutFiles::LinuxLayoutFiles(std::vector<std::string> roots)
    : roots_(roots.empty() ? fw::DataRoots() : std::move(roots)) {}

std::string LinuxLayoutFiles::Find(const std::string& path) const {
    const std::string relative = fw::PortablePath(path);
    for (const std::string& root : roots_) {
        std::string file = fw::JoinPath(root, relative);
        if (fw::IsFile(file)) return file;
    }
    return {};
}

std::vector<std::string> LinuxLayoutFiles::FileNames(const std::string& folder) const {
    std::vector<std::string> names;
    for (const std::string& root : roots_) {
        const std::vector<std::string> found = fw::FilesIn(fw::JoinPath(root, folder));
        names.insert(names.end(), found.begin(), found.end());
    }
    return names;
}

bool LinuxLayoutFiles::Exists(const std::string& path) {
    return !Find(path).empty();
}

FileBytes LinuxLayoutFiles::ReadAll(const std::string& path) {
    const std::string file = Find(path);
    if (file.empty()) return {{}, false};
    std::optional<std::string> bytes = fw::ReadWholeFile(file);
    if (!bytes) return {{}, false};
    return {std::move(*bytes), true};
}

bool LinuxLayoutFiles::WriteAll(const std::string& path, std::string_view bytes) {
    std::string file = Find(path);
    if (!file.empty()) {
        const std::string folder = file.substr(0, file.rfind('/'));
        if (access(folder.c_str(), W_OK) == 0 && access(file.c_str(), W_OK) == 0)
            return fw::WriteWholeFile(file, bytes);
        // A file that may not be changed where it is, in a folder that may: left alone, as
        // a read-only file is on Windows.
        if (access(folder.c_str(), W_OK) == 0) return false;
    }
    if (roots_.empty()) return false;
    return fw::WriteWholeFile(fw::JoinPath(roots_.front(), fw::PortablePath(path)), bytes);
}

} // namespace zevaver

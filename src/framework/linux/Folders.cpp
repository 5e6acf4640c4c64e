#include "framework/linux/Folders.h"

#include <cerrno>
#include <cstdlib>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace zevaver {

namespace fw {

namespace {

std::string Environment(const char* name) {
    const char* value = std::getenv(name);
    return value ? value : "";
}

std::string Home() {
    std::string home = Environment("HOME");
    return home.empty() ? "/tmp" : home;
}

// Only absolute entries count, as the rules say.
std::vector<std::string> PathList(const std::string& value, std::vector<std::string> fallback) {
    std::vector<std::string> list;
    size_t start = 0;
    while (start <= value.size()) {
        const size_t end = std::min(value.find(':', start), value.size());
        const std::string entry = value.substr(start, end - start);
        if (!entry.empty() && entry.front() == '/') list.push_back(entry);
        start = end + 1;
    }
    return list.empty() ? fallback : list;
}

std::string AbsoluteOr(const std::string& value, const std::string& fallback) {
    return !value.empty() && value.front() == '/' ? value : fallback;
}

std::string FolderOf(const std::string& path) {
    const size_t slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

} // namespace

std::string ProgramPath() {
    char buffer[4096];
    const ssize_t length = readlink("/proc/self/exe", buffer, sizeof buffer - 1);
    if (length <= 0) return {};
    return std::string(buffer, static_cast<size_t>(length));
}

std::string ProgramFolder() {
    const std::string path = ProgramPath();
    return path.empty() ? "." : FolderOf(path);
}

std::string ConfigHome() {
    return AbsoluteOr(Environment("XDG_CONFIG_HOME"), Home() + "/.config");
}

std::string DataHome() {
    return AbsoluteOr(Environment("XDG_DATA_HOME"), Home() + "/.local/share");
}

std::vector<std::string> ConfigDirs() {
    return PathList(Environment("XDG_CONFIG_DIRS"), {"/etc/xdg"});
}

std::vector<std::string> DataDirs() {
    return PathList(Environment("XDG_DATA_DIRS"), {"/usr/local/share", "/usr/share"});
}

std::string RuntimeFolder() {
    const std::string runtime = Environment("XDG_RUNTIME_DIR");
    if (!runtime.empty() && IsFolder(runtime)) return runtime;
    return AbsoluteOr(Environment("TMPDIR"), "/tmp");
}

std::vector<std::string> DataRoots() {
    std::vector<std::string> roots{JoinPath(DataHome(), AppFolderName), ProgramFolder()};
    for (const std::string& folder : DataDirs()) roots.push_back(JoinPath(folder, AppFolderName));
    return roots;
}

std::string PortablePath(std::string_view path) {
    std::string result(path);
    for (char& c : result)
        if (c == '\\') c = '/';
    return result;
}

std::string JoinPath(std::string_view folder, std::string_view name) {
    std::string path(folder);
    if (!path.empty() && path.back() != '/') path += '/';
    path += name;
    return path;
}

bool IsFile(const std::string& path) noexcept {
    struct stat info {};
    return stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

bool IsFolder(const std::string& path) noexcept {
    struct stat info {};
    return stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

bool MakeFolders(const std::string& path) noexcept {
    try {
        if (path.empty() || IsFolder(path)) return !path.empty();
        const std::string parent = FolderOf(path);
        if (parent != path && !IsFolder(parent) && !MakeFolders(parent)) return false;
        return mkdir(path.c_str(), 0700) == 0 || errno == EEXIST;
    } catch (...) {
        return false;
    }
}

std::optional<std::string> ReadWholeFile(const std::string& path) {
    const int file = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (file < 0) return std::nullopt;
    std::string bytes;
    char buffer[16384];
    for (;;) {
        const ssize_t got = read(file, buffer, sizeof buffer);
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) {
            close(file);
            return std::nullopt;
        }
        if (got == 0) break;
        bytes.append(buffer, static_cast<size_t>(got));
    }
    close(file);
    return bytes;
}

bool WriteWholeFile(const std::string& path, std::string_view bytes) noexcept {
    try {
        const std::string folder = FolderOf(path);
        if (!MakeFolders(folder)) return false;
        // A folder by the file's name is no file to replace.
        if (IsFolder(path)) return false;
        std::string temporary = path + ".XXXXXX";
        const int file = mkostemp(temporary.data(), O_CLOEXEC);
        if (file < 0) return false;
        // A file that is replaced keeps who may read it.
        struct stat old {};
        if (stat(path.c_str(), &old) == 0)
            (void)fchmod(file, old.st_mode & 07777);
        else
            (void)fchmod(file, 0644);
        bool written = true;
        for (size_t done = 0; written && done < bytes.size();) {
            const ssize_t put = write(file, bytes.data() + done, bytes.size() - done);
            if (put < 0 && errno == EINTR) continue;
            if (put <= 0)
                written = false;
            else
                done += static_cast<size_t>(put);
        }
        written = written && fsync(file) == 0;
        written = close(file) == 0 && written;
        if (!written || rename(temporary.c_str(), path.c_str()) != 0) {
            unlink(temporary.c_str());
            return false;
        }
        // The rename itself reaches the disk with the folder.
        const int directory = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (directory >= 0) {
            (void)fsync(directory);
            close(directory);
        }
        return true;
    } catch (...) {
        return false;
    }
}

namespace {

// The names in a folder that pass the test (none when it cannot be read).
template <typename Test> std::vector<std::string> NamesIn(const std::string& path, Test test) {
    std::vector<std::string> names;
    DIR* folder = opendir(path.c_str());
    if (!folder) return names;
    while (const dirent* entry = readdir(folder)) {
        const std::string name = entry->d_name;
        if (name == "." || name == "..") continue;
        if (test(JoinPath(path, name))) names.push_back(name);
    }
    closedir(folder);
    return names;
}

} // namespace

std::vector<std::string> SubFolders(const std::string& path) {
    return NamesIn(path, [](const std::string& entry) { return IsFolder(entry); });
}

std::vector<std::string> FilesIn(const std::string& path) {
    return NamesIn(path, [](const std::string& entry) { return IsFile(entry); });
}

} // namespace fw

} // namespace zevaver

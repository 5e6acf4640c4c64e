#include "engine/win/WinLayoutFiles.h"

#include "framework/win/Handles.h"
#include "framework/win/ShellCalls.h"
#include "framework/win/WidePath.h"

#include <algorithm>

namespace zevaver {

namespace {

constexpr DWORD NoFile = INVALID_FILE_ATTRIBUTES;

void MakeFolders(const std::wstring& file) {
    for (size_t at = file.find_first_of(L"/\\", 1); at != std::wstring::npos;
         at = file.find_first_of(L"/\\", at + 1))
        CreateDirectoryW(file.substr(0, at).c_str(), nullptr); // an existing one fails: fine
}

bool WriteWhole(HANDLE file, std::string_view bytes) {
    while (!bytes.empty()) {
        const DWORD chunk = static_cast<DWORD>(std::min<size_t>(bytes.size(), 1u << 20));
        DWORD written = 0;
        if (!WriteFile(file, bytes.data(), chunk, &written, nullptr) || written == 0) return false;
        bytes.remove_prefix(written);
    }
    return true;
}

} // namespace

bool WinLayoutFiles::Exists(const std::string& path) {
    const DWORD attributes = GetFileAttributesW(fw::Utf8ToWide(path).c_str());
    return attributes != NoFile && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

FileBytes WinLayoutFiles::ReadAll(const std::string& path) {
    FileBytes read;
    fw::File file(CreateFileW(fw::Utf8ToWide(path).c_str(), GENERIC_READ,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) {
        read.complete = false;
        return read;
    }
    char buffer[65536];
    for (;;) {
        DWORD got = 0;
        if (!ReadFile(file.get(), buffer, sizeof buffer, &got, nullptr)) {
            read.complete = false;
            break;
        }
        if (got == 0) break;
        read.bytes.append(buffer, got);
    }
    return read;
}

bool WinLayoutFiles::WriteAll(const std::string& path, std::string_view bytes) {
    const std::wstring target = fw::Utf8ToWide(path);
    const std::wstring temporary = target + L".new";
    MakeFolders(target);
    {
        fw::File file(CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!file) return false;
        if (!WriteWhole(file.get(), bytes)) {
            file.reset();
            DeleteFileW(temporary.c_str());
            return false;
        }
    }
    const DWORD attributes = GetFileAttributesW(target.c_str());
    const bool refused =
        attributes != NoFile && (attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_READONLY));
    if (refused || !MoveFileExW(temporary.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING)) {
        DeleteFileW(temporary.c_str());
        return false;
    }
    return true;
}

std::string UserLayoutsFolder() {
    const std::wstring folder = fw::RoamingDataFolder();
    if (folder.empty()) return {};
    return fw::WideToUtf8(folder) + "\\Zevaver\\MIDI Keyboard\\Layouts\\";
}

std::string WinLayoutFiles::UserFolder() {
    if (!userFolder_) userFolder_ = UserLayoutsFolder();
    return *userFolder_;
}

bool WinLayoutFiles::Remove(const std::string& path) {
    const std::wstring file = fw::Utf8ToWide(path);
    return DeleteFileW(file.c_str()) || GetFileAttributesW(file.c_str()) == NoFile;
}

} // namespace zevaver

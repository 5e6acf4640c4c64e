// The settings store on Linux: an INI file under the XDG config folder with the registry's
// value names, read and written by the portable store's rules (SettingsStore). The
// current user's file stands for HKEY_CURRENT_USER, a file of the same name in the system's
// config folders (/etc/xdg) for HKEY_LOCAL_MACHINE, which the program only reads: defaults
// an administrator may set. A key is a section named after the key path's last part. The
// file is written whole or not at all, and what it holds besides (other sections, values
// of a later version) is kept.
#pragma once

#include "engine/IniText.h"
#include "engine/SettingsStore.h"

#include <string>
#include <vector>

namespace zevaver {

class IniSettings final : public SettingsRegistry {
public:
    // userFile: the file written; systemFiles: read when the user's has no such key.
    IniSettings(std::string userFile, std::vector<std::string> systemFiles);

    // The user's file: <config home>/zevaver-midi-keyboard/settings.ini; the system's: the
    // same under every folder of $XDG_CONFIG_DIRS.
    [[nodiscard]] static IniSettings ForUser();

    [[nodiscard]] bool KeyExists(RegistryHive hive, std::string_view path) override;
    [[nodiscard]] bool OpenKey(RegistryHive hive, std::string_view path, bool forWriting) override;
    [[nodiscard]] RegistryText ReadString(const std::string& name) override;
    [[nodiscard]] bool WriteString(const std::string& name, const std::string& text) override;
    [[nodiscard]] bool Flush() override;
    void CloseKey() override;

    [[nodiscard]] const std::string& UserFile() const noexcept { return userFile_; }

private:
    // The file of the hive that holds the key, or "" for none.
    [[nodiscard]] std::string FileWithKey(RegistryHive hive, std::string_view path);

    std::string userFile_;
    std::vector<std::string> systemFiles_;
    std::vector<IniSection> sections_; // the open file's
    size_t open_ = 0;                  // the open section's index
    bool isOpen_ = false;
    bool writing_ = false;
};

// The section that stands for a registry key path: its last part.
[[nodiscard]] std::string IniSectionName(std::string_view keyPath);

} // namespace zevaver

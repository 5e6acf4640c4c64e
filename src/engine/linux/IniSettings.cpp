#include "engine/linux/IniSettings.h"

#include "framework/linux/Folders.h"

#include <utility>

namespace zevaver {

namespace {

constexpr const char* SettingsFileName = "settings.ini";

std::vector<IniSection> ReadSections(const std::string& file) {
    const std::optional<std::string> text = fw::ReadWholeFile(file);
    return text ? ParseIni(*text) : std::vector<IniSection>{};
}

const IniSection* FindSection(const std::vector<IniSection>& sections, const std::string& name) {
    for (const IniSection& section : sections)
        if (section.name == name) return &section;
    return nullptr;
}

} // namespace

std::string IniSectionName(std::string_view keyPath) {
    const size_t slash = keyPath.find_last_of("\\/");
    return std::string(slash == std::string_view::npos ? keyPath : keyPath.substr(slash + 1));
}

IniSettings::IniSettings(std::string userFile, std::vector<std::string> systemFiles)
    : userFile_(std::move(userFile)), systemFiles_(std::move(systemFiles)) {}

IniSettings IniSettings::ForUser() {
    std::vector<std::string> system;
    for (const std::string& folder : fw::ConfigDirs())
        system.push_back(fw::JoinPath(fw::JoinPath(folder, fw::AppFolderName), SettingsFileName));
    return IniSettings(
        fw::JoinPath(fw::JoinPath(fw::ConfigHome(), fw::AppFolderName), SettingsFileName),
        std::move(system));
}

std::string IniSettings::FileWithKey(RegistryHive hive, std::string_view path) {
    const std::string section = IniSectionName(path);
    if (hive == RegistryHive::CurrentUser)
        return FindSection(ReadSections(userFile_), section) ? userFile_ : std::string();
    for (const std::string& file : systemFiles_)
        if (FindSection(ReadSections(file), section)) return file;
    return {};
}

bool IniSettings::KeyExists(RegistryHive hive, std::string_view path) {
    return !FileWithKey(hive, path).empty();
}

bool IniSettings::OpenKey(RegistryHive hive, std::string_view path, bool forWriting) {
    CloseKey();
    const std::string name = IniSectionName(path);
    if (forWriting) {
        // Only the user's own file is ever written.
        if (hive != RegistryHive::CurrentUser) return false;
        const std::string folder = userFile_.substr(0, userFile_.rfind('/'));
        if (!fw::MakeFolders(folder)) return false;
        sections_ = ReadSections(userFile_);
    } else {
        const std::string file = FileWithKey(hive, path);
        if (file.empty()) return false;
        sections_ = ReadSections(file);
    }
    open_ = sections_.size();
    for (size_t i = 0; i < sections_.size(); ++i)
        if (sections_[i].name == name) open_ = i;
    if (open_ == sections_.size()) sections_.push_back({name, {}});
    isOpen_ = true;
    writing_ = forWriting;
    return true;
}

RegistryText IniSettings::ReadString(const std::string& name) {
    if (!isOpen_) return {};
    for (const auto& [valueName, text] : sections_[open_].values)
        if (valueName == name) return {RegistryText::Kind::Text, text};
    return {};
}

bool IniSettings::WriteString(const std::string& name, const std::string& text) {
    if (!isOpen_ || !writing_) return false;
    // A name is written on one line before its "=".
    if (name.find_first_of("=\n\r[") != std::string::npos) return false;
    for (auto& [valueName, value] : sections_[open_].values) {
        if (valueName == name) {
            value = text;
            return true;
        }
    }
    sections_[open_].values.emplace_back(name, text);
    return true;
}

bool IniSettings::Flush() {
    if (!isOpen_ || !writing_) return true;
    return fw::WriteWholeFile(userFile_, FormatIni(sections_));
}

void IniSettings::CloseKey() {
    sections_.clear();
    isOpen_ = false;
    writing_ = false;
}

} // namespace zevaver

// Where the program finds its files on Linux: the folder it runs from, the user's and the
// system's folders of the XDG base directory rules, and whole-file reading and writing.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zevaver {

namespace fw {

// The program's own folder name under the XDG folders.
inline constexpr const char* AppFolderName = "zevaver-midi-keyboard";

// The running executable ("" when it cannot be told) and its folder ("." then).
[[nodiscard]] std::string ProgramPath();
[[nodiscard]] std::string ProgramFolder();
// $XDG_CONFIG_HOME, else ~/.config; $XDG_DATA_HOME, else ~/.local/share.
[[nodiscard]] std::string ConfigHome();
[[nodiscard]] std::string DataHome();
// $XDG_CONFIG_DIRS, else /etc/xdg; $XDG_DATA_DIRS, else /usr/local/share and /usr/share.
[[nodiscard]] std::vector<std::string> ConfigDirs();
[[nodiscard]] std::vector<std::string> DataDirs();
// $XDG_RUNTIME_DIR, else the temporary folder.
[[nodiscard]] std::string RuntimeFolder();

// Where the data folders (Layouts, Skins) are looked for, first first: the user's own (what
// the user changed or added shadows what came with the program), beside the program, then
// the system's.
[[nodiscard]] std::vector<std::string> DataRoots();

// A relative path of the program's own (Windows separators allowed) with "/" separators.
[[nodiscard]] std::string PortablePath(std::string_view path);
[[nodiscard]] std::string JoinPath(std::string_view folder, std::string_view name);

[[nodiscard]] bool IsFile(const std::string& path) noexcept;
[[nodiscard]] bool IsFolder(const std::string& path) noexcept;
// Makes the folder and those above it; true when it exists afterwards.
[[nodiscard]] bool MakeFolders(const std::string& path) noexcept;
// The whole file; nothing when it cannot be opened or read to its end.
[[nodiscard]] std::optional<std::string> ReadWholeFile(const std::string& path);
// Replaces the file whole or not at all: the bytes go to a file beside it, are flushed to
// the disk and then renamed over it (the folder is made when missing). False when any step
// failed; the old file is then as it was.
[[nodiscard]] bool WriteWholeFile(const std::string& path, std::string_view bytes) noexcept;
// The names of the sub-folders of a folder (none when it cannot be read).
[[nodiscard]] std::vector<std::string> SubFolders(const std::string& path);
// The names of the files in a folder (none when it cannot be read).
[[nodiscard]] std::vector<std::string> FilesIn(const std::string& path);

} // namespace fw

} // namespace zevaver

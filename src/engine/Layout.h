// Keyboard layout files: "<name>.txt", one entry per line, "<key> = <note>". A key is its
// first character's code (letters and digits are their own virtual-key codes) or "#" and a
// virtual-key code; the note's low 8 bits go into the table.
//
// The shipped layouts lie in "Layouts" beside the program and are never changed: a layout
// the user edits is written to their own folder, where it stands in front of the shipped
// one of its name until they revert it.
#pragma once

#include "engine/KeyNotes.h"
#include "engine/Settings.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace zevaver {

inline constexpr std::string_view FallbackLayout = "Piano";

// A line read as an entry: its key code (which may lie outside the table) and its value as
// read, before the cut to 8 bits. Nothing for a line without " = ". The line holds no line
// end; any CR has been dropped from it.
struct LayoutEntry {
    int64_t code = 0;
    int64_t value = 0;
};
[[nodiscard]] std::optional<LayoutEntry> ReadLayoutEntry(std::string_view line) noexcept;

// Applies every entry of a whole layout file to the table, later lines overriding earlier
// ones. Lines end with LF or CR LF; any other CR is dropped; Ctrl-Z ends the file. Entries
// whose "#" code lies outside the table are skipped. Never fails: any bytes are accepted.
void ParseLayout(std::string_view text, KeyNoteTable& table);
// The table a layout's text alone gives.
[[nodiscard]] KeyNoteTable ParsedLayout(std::string_view text);

// The relative path of a shipped layout file, resolved against the current folder; UTF-8
// as the name is.
[[nodiscard]] std::string LayoutPath(std::string_view layoutName);

struct FileBytes {
    std::string bytes;
    bool complete = true; // false when reading stopped at an error
};

class LayoutFiles {
public:
    virtual ~LayoutFiles() = default;
    [[nodiscard]] virtual bool Exists(const std::string& path) = 0;
    [[nodiscard]] virtual FileBytes ReadAll(const std::string& path) = 0;
    // Replaces the file's contents, or makes it (and its folder); false when that failed,
    // and then the file is as it was.
    [[nodiscard]] virtual bool WriteAll(const std::string& path, std::string_view bytes) = 0;
    // The folder of the user's own layouts, ending in a separator; empty where there is none
    // (the shipped files are then the ones written).
    [[nodiscard]] virtual std::string UserFolder() { return {}; }
    // Deletes a file; false when it is still there.
    [[nodiscard]] virtual bool Remove(const std::string& path) {
        (void)path;
        return false;
    }
};

// The path of the user's own copy of a layout; the shipped path where there is no user
// folder.
[[nodiscard]] std::string UserLayoutPath(LayoutFiles& files, std::string_view layoutName);
// The file a layout is read from: the user's copy when there is one, else the shipped one.
[[nodiscard]] std::string CurrentLayoutPath(LayoutFiles& files, std::string_view layoutName);
// The user has a copy of a shipped layout, which a revert would take away.
[[nodiscard]] bool CanRevertLayout(LayoutFiles& files, std::string_view layoutName);

enum class LayoutLoad {
    Loaded,
    NoFile,     // neither the chosen layout nor the fall-back exists: no key plays
    ReadFailed, // the file broke off; the table holds the whole lines read before that
};

// Clears the table and fills it from the layout the settings name, switching the name to
// the fall-back when its file is missing.
[[nodiscard]] LayoutLoad LoadLayout(TSettings& settings, KeyNoteTable& table, LayoutFiles& files);

} // namespace zevaver

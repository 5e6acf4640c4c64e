// The window's side of mapping keys: it keeps the window's copy of the layout in step with
// what the engine changed and writes each change at once into the user's own copy of the
// layout (made from the shipped file at the first change, which stays as it is), and it
// saves the layout under another name ("Save layout as...") or goes back to the shipped
// one. A file that cannot be written is reported once; its changes stay waiting, in force
// until the program ends, and go into the file with the next change that can be written,
// or into a layout saved under another name.
#pragma once

#include "engine/KeyEditing.h"
#include "engine/Layout.h"
#include "engine/LayoutWriter.h"
#include "engine/Settings.h"

#include <string>
#include <string_view>

namespace zevaver {

// Why a name cannot name a layout file, or "" when it can.
[[nodiscard]] std::string LayoutNameProblem(std::string_view name);
// The name without the spaces around it.
[[nodiscard]] std::string TrimmedLayoutName(std::string_view name);

class LayoutEditor {
public:
    // The layout is the settings' Layout; table is the window's copy of it.
    LayoutEditor(TSettings& settings, KeyNoteTable& table, LayoutFiles& files) noexcept
        : settings_(settings), table_(table), files_(files) {}

    // An edit the engine made: the table follows and the file is written. Returns what to
    // report ("" for nothing).
    [[nodiscard]] std::string Apply(const play::LayoutEdit& edit);
    // Another layout was loaded: changes that could not be written belonged to the old one.
    void LayoutLoaded() noexcept;

    // Whether saving under this name would replace another layout's file.
    [[nodiscard]] bool WouldReplace(const std::string& name);
    // Writes the layout, changes included, as the layout of this name (trimmed, and
    // without a problem) and makes it the current one. Returns what to report ("" when it
    // was saved).
    [[nodiscard]] std::string SaveAs(const std::string& name);
    // Whether the current layout is a user's copy of a shipped one.
    [[nodiscard]] bool CanRevert();
    // Takes the user's copy of the current layout away, so the shipped one is read again;
    // returns what to report ("" when it is gone).
    [[nodiscard]] std::string Revert();

private:
    // The current file with the changes; empty when the file could not be read whole.
    [[nodiscard]] std::optional<std::string> ChangedText();
    [[nodiscard]] std::string Write();

    TSettings& settings_;
    KeyNoteTable& table_;
    LayoutFiles& files_;
    LayoutChanges pending_;
    std::string reportedPath_; // the file whose failure has been reported
};

} // namespace zevaver

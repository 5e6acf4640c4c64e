#include "mainwindow/LayoutEditor.h"

#include "framework/Text.h"

#include <algorithm>
#include <array>
#include <initializer_list>
#include <string_view>

namespace zevaver {

namespace {

constexpr std::string_view ForbiddenCharacters = "\\/:*?\"<>|";
constexpr size_t LongestName = 200;
// Names the system keeps for its devices, whatever extension follows them.
constexpr std::array<std::string_view, 22> DeviceNames = {
    "CON",  "PRN",  "AUX",  "NUL",  "COM1", "COM2", "COM3", "COM4", "COM5", "COM6", "COM7",
    "COM8", "COM9", "LPT1", "LPT2", "LPT3", "LPT4", "LPT5", "LPT6", "LPT7", "LPT8", "LPT9"};

// The path as the user knows it on this system.
std::string Shown(std::string path) {
    std::replace(path.begin(), path.end(), '/', '\\');
    return path;
}

// Texts put together by appending (GCC 12 misreads "a" + b).
std::string Joined(std::initializer_list<std::string_view> parts) {
    std::string text;
    for (std::string_view part : parts) text += part;
    return text;
}

constexpr std::string_view KeptText = " The keys you map play until the program ends; \"Save "
                                      "layout as...\" keeps them in a layout of another name.";

} // namespace

std::string TrimmedLayoutName(std::string_view name) {
    const size_t first = name.find_first_not_of(' ');
    if (first == std::string_view::npos) return {};
    const size_t last = name.find_last_not_of(' ');
    return std::string(name.substr(first, last - first + 1));
}

std::string LayoutNameProblem(std::string_view name) {
    if (name.empty()) return "Please type a name for the layout.";
    for (char c : name) {
        if (static_cast<unsigned char>(c) < ' ' ||
            ForbiddenCharacters.find(c) != std::string_view::npos)
            return "A layout's name cannot hold any of these characters: \\ / : * ? \" < > |";
    }
    if (name.back() == '.' || name.back() == ' ')
        return "A layout's name cannot end with a dot or a space.";
    if (name.size() > LongestName) return "That name is too long for a layout.";
    const std::string_view stem = name.substr(0, name.find('.'));
    for (std::string_view device : DeviceNames) {
        if (fw::EqualNoCase(stem, device))
            return Joined({"\"", name, "\" is a name Windows keeps for a device."});
    }
    return {};
}

std::string LayoutEditor::Apply(const play::LayoutEdit& edit) {
    if (edit.kind == play::LayoutEdit::Kind::OutOfReach)
        return "No key can be mapped to this note at the current base octave and transposition.";
    for (size_t entry = 0; entry < table_.size(); ++entry) {
        if (!edit.changed[entry]) continue;
        table_[entry] = edit.values[entry];
        pending_[static_cast<int>(entry)] = edit.values[entry];
    }
    return Write();
}

void LayoutEditor::LayoutLoaded() noexcept {
    pending_.clear();
    reportedPath_.clear();
}

std::optional<std::string> LayoutEditor::ChangedText() {
    const std::string path = CurrentLayoutPath(files_, settings_.Layout);
    // Without its file (gone since it was loaded, or never there) the layout is what the
    // table holds.
    if (!files_.Exists(path)) return LayoutTextOf(table_);
    FileBytes file = files_.ReadAll(path);
    // Writing what was read of a file that broke off would lose the rest of it.
    if (!file.complete) return std::nullopt;
    return ChangeLayoutText(file.bytes, pending_);
}

std::string LayoutEditor::Write() {
    const std::string path = UserLayoutPath(files_, settings_.Layout);
    const std::optional<std::string> text = ChangedText();
    if (text && files_.WriteAll(path, *text)) {
        pending_.clear();
        reportedPath_.clear();
        return {};
    }
    if (reportedPath_ == path) return {};
    reportedPath_ = path;
    return Joined({"The layout file \"", Shown(path), "\" could not be ",
                   text ? "written." : "read, so it was left as it is.", KeptText});
}

bool LayoutEditor::WouldReplace(const std::string& name) {
    return !fw::EqualNoCase(name, settings_.Layout) &&
           files_.Exists(CurrentLayoutPath(files_, name));
}

std::string LayoutEditor::SaveAs(const std::string& name) {
    if (fw::EqualNoCase(name, settings_.Layout)) {
        // The layout itself: what waits goes into its file, reported as any change is.
        return pending_.empty() ? std::string() : Write();
    }
    const std::string path = UserLayoutPath(files_, name);
    const std::string text = ChangedText().value_or(LayoutTextOf(table_));
    if (!files_.WriteAll(path, text))
        return Joined({"The layout could not be saved as \"", Shown(path), "\"."});
    settings_.Layout = name;
    pending_.clear();
    reportedPath_.clear();
    return {};
}

bool LayoutEditor::CanRevert() {
    return CanRevertLayout(files_, settings_.Layout);
}

std::string LayoutEditor::Revert() {
    if (!CanRevert()) return {};
    const std::string path = UserLayoutPath(files_, settings_.Layout);
    if (!files_.Remove(path))
        return Joined({"Your copy of the layout, \"", Shown(path), "\", could not be removed."});
    LayoutLoaded();
    return {};
}

} // namespace zevaver

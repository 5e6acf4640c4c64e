#include "engine/Layout.h"

#include "engine/NumberText.h"

namespace zevaver {

namespace {

constexpr char CtrlZ = '\x1a';
constexpr std::string_view Separator = " = ";

void ApplyLine(std::string_view line, KeyNoteTable& table) {
    const auto entry = ReadLayoutEntry(line);
    if (!entry || entry->code < 0 || entry->code >= static_cast<int64_t>(table.size())) return;
    table[static_cast<size_t>(entry->code)] = static_cast<uint8_t>(entry->value & 0xFF);
}

} // namespace

std::optional<LayoutEntry> ReadLayoutEntry(std::string_view line) noexcept {
    const size_t separator = line.find(Separator);
    if (separator == std::string_view::npos) return std::nullopt;
    // The key part keeps the space that begins the separator, so it is never empty.
    const std::string_view key = line.substr(0, separator + 1);
    LayoutEntry entry;
    entry.code = static_cast<unsigned char>(key.front());
    if (key.front() == '#') entry.code = ReadLeadingNumber(key.substr(1));
    entry.value = ReadLeadingNumber(line.substr(separator + Separator.size()));
    return entry;
}

void ParseLayout(std::string_view text, KeyNoteTable& table) {
    text = text.substr(0, text.find(CtrlZ));
    std::string line;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string_view::npos) end = text.size();
        std::string_view raw = text.substr(start, end - start);
        if (raw.find('\r') == std::string_view::npos) {
            ApplyLine(raw, table);
        } else {
            line.clear();
            for (char c : raw)
                if (c != '\r') line.push_back(c);
            ApplyLine(line, table);
        }
        start = end + 1;
    }
}

KeyNoteTable ParsedLayout(std::string_view text) {
    KeyNoteTable table{};
    ParseLayout(text, table);
    return table;
}

std::string LayoutPath(std::string_view layoutName) {
    return "Layouts/" + std::string(layoutName) + ".txt";
}

std::string UserLayoutPath(LayoutFiles& files, std::string_view layoutName) {
    const std::string folder = files.UserFolder();
    if (folder.empty()) return LayoutPath(layoutName);
    return folder + std::string(layoutName) + ".txt";
}

std::string CurrentLayoutPath(LayoutFiles& files, std::string_view layoutName) {
    std::string own = UserLayoutPath(files, layoutName);
    return files.Exists(own) ? own : LayoutPath(layoutName);
}

bool CanRevertLayout(LayoutFiles& files, std::string_view layoutName) {
    const std::string own = UserLayoutPath(files, layoutName);
    const std::string shipped = LayoutPath(layoutName);
    return own != shipped && files.Exists(own) && files.Exists(shipped);
}

LayoutLoad LoadLayout(TSettings& settings, KeyNoteTable& table, LayoutFiles& files) {
    table.fill(0);
    if (!files.Exists(CurrentLayoutPath(files, settings.Layout))) settings.Layout = FallbackLayout;
    const std::string path = CurrentLayoutPath(files, settings.Layout);
    if (!files.Exists(path)) return LayoutLoad::NoFile;
    FileBytes file = files.ReadAll(path);
    std::string_view text = file.bytes;
    if (!file.complete && text.find(CtrlZ) == std::string_view::npos) {
        // The last line may have been cut short ("Q = 6" of "Q = 60"): keep whole lines only.
        size_t lastLineEnd = text.rfind('\n');
        text = lastLineEnd == std::string_view::npos ? std::string_view()
                                                     : text.substr(0, lastLineEnd + 1);
    }
    ParseLayout(text, table);
    return file.complete ? LayoutLoad::Loaded : LayoutLoad::ReadFailed;
}

} // namespace zevaver

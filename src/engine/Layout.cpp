#include "engine/Layout.h"

#include "engine/NumberText.h"

#include <filesystem>
#include <fstream>

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

std::string LayoutPath(std::string_view layoutName) {
    return "Layouts/" + std::string(layoutName) + ".txt";
}

namespace {

std::filesystem::path PathOfUtf8(const std::string& path) {
    return std::filesystem::path(
        std::u8string_view(reinterpret_cast<const char8_t*>(path.data()), path.size()));
}

// A file that exists without write permission (read-only) is not replaced, although a
// rename over it would succeed where the folder may be written.
bool Writable(const std::filesystem::path& file) {
    std::error_code error;
    const std::filesystem::file_status status = std::filesystem::status(file, error);
    if (!std::filesystem::exists(status)) return true;
    return (status.permissions() & std::filesystem::perms::owner_write) !=
           std::filesystem::perms::none;
}

} // namespace

bool StandardLayoutFiles::Exists(const std::string& path) {
    std::error_code error;
    return std::filesystem::is_regular_file(PathOfUtf8(path), error);
}

FileBytes StandardLayoutFiles::ReadAll(const std::string& path) {
    FileBytes file;
    std::ifstream stream(PathOfUtf8(path), std::ios::binary);
    if (!stream) {
        file.complete = false;
        return file;
    }
    char buffer[65536];
    while (stream.read(buffer, sizeof buffer) || stream.gcount() > 0)
        file.bytes.append(buffer, static_cast<size_t>(stream.gcount()));
    file.complete = !stream.bad();
    return file;
}

bool StandardLayoutFiles::WriteAll(const std::string& path, std::string_view bytes) {
    const std::filesystem::path target = PathOfUtf8(path);
    std::filesystem::path temporary = target;
    temporary += ".new";
    std::error_code error;
    if (target.has_parent_path()) std::filesystem::create_directories(target.parent_path(), error);
    {
        std::ofstream stream(temporary, std::ios::binary | std::ios::trunc);
        if (!stream) return false;
        stream.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        stream.close();
        if (!stream) {
            std::filesystem::remove(temporary, error);
            return false;
        }
    }
    // A read-only file, or a folder by its name, is not replaced: the rename fails.
    if (std::filesystem::is_directory(target, error) || !Writable(target)) {
        std::filesystem::remove(temporary, error);
        return false;
    }
    std::filesystem::rename(temporary, target, error);
    if (error) {
        std::filesystem::remove(temporary, error);
        return false;
    }
    return true;
}

LayoutLoad LoadLayout(TSettings& settings, KeyNoteTable& table, LayoutFiles& files) {
    table.fill(0);
    if (!files.Exists(LayoutPath(settings.Layout))) settings.Layout = FallbackLayout;
    const std::string path = LayoutPath(settings.Layout);
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

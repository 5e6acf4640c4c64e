#include "engine/LayoutWriter.h"

#include "engine/Layout.h"
#include "engine/NumberText.h"

#include <optional>
#include <set>
#include <vector>

namespace zevaver {

namespace {

constexpr char CtrlZ = '\x1a';
constexpr std::string_view Separator = " = ";

// One line of the file as it lies there: its bytes and the LF that ends it (none for a
// last line without one).
struct RawLine {
    std::string_view content;
    bool ended = false;
};

std::vector<RawLine> SplitLines(std::string_view text) {
    std::vector<RawLine> lines;
    size_t start = 0;
    while (start < text.size()) {
        const size_t end = text.find('\n', start);
        if (end == std::string_view::npos) {
            lines.push_back({text.substr(start), false});
            break;
        }
        lines.push_back({text.substr(start, end - start), true});
        start = end + 1;
    }
    return lines;
}

// The line as the reader sees it: every CR dropped.
std::string Logical(std::string_view content) {
    std::string line;
    for (char c : content)
        if (c != '\r') line.push_back(c);
    return line;
}

// The code a line sets in the table, if it is an entry the reader places there.
std::optional<int> CodeOf(std::string_view content) {
    const auto entry = ReadLayoutEntry(Logical(content));
    if (!entry || entry->code < 0 || entry->code >= 256) return std::nullopt;
    return static_cast<int>(entry->code);
}

// The line with its number replaced, keeping the key as written and the remark after the
// number; a line too odd for that (a CR inside it) is written anew.
std::string Renumbered(std::string_view content, int code, int value) {
    const bool crEnded = !content.empty() && content.back() == '\r';
    const std::string_view body = crEnded ? content.substr(0, content.size() - 1) : content;
    std::string line;
    if (body.find('\r') == std::string_view::npos) {
        const size_t valueStart = body.find(Separator) + Separator.size();
        const std::string_view rest = body.substr(valueStart);
        line = std::string(body.substr(0, valueStart)) + std::to_string(value) +
               std::string(rest.substr(LeadingNumberLength(rest)));
        const auto entry = ReadLayoutEntry(line);
        if (!entry || entry->code != code || (entry->value & 0xFF) != value)
            line = LayoutEntryLine(code, value);
    } else {
        line = LayoutEntryLine(code, value);
    }
    if (crEnded) line.push_back('\r');
    return line;
}

} // namespace

std::string LayoutEntryLine(int code, int value) {
    const bool plain = (code >= 'A' && code <= 'Z') || (code >= '0' && code <= '9');
    std::string line = plain ? std::string(1, static_cast<char>(code)) : std::string("#");
    if (!plain) line += std::to_string(code);
    line += Separator;
    line += std::to_string(value);
    return line;
}

std::string ChangeLayoutText(std::string_view text, const LayoutChanges& changes) {
    // What follows a Ctrl-Z is no part of the layout and stays after it.
    const size_t end = text.find(CtrlZ);
    const std::string_view head = text.substr(0, end);
    const std::string_view tail =
        end == std::string_view::npos ? std::string_view() : text.substr(end);
    const std::vector<RawLine> lines = SplitLines(head);

    // The file's own line end, from its first ended line.
    std::string_view newline = "\n";
    for (const RawLine& line : lines) {
        if (!line.ended) continue;
        if (!line.content.empty() && line.content.back() == '\r') newline = "\r\n";
        break;
    }

    size_t lastEntry = lines.size(); // none
    for (size_t i = 0; i < lines.size(); ++i)
        if (CodeOf(lines[i].content)) lastEntry = i;

    std::set<int> written;
    std::string added;
    for (const auto& [code, value] : changes) {
        if (value == 0) continue;
        bool hasLine = false;
        for (const RawLine& line : lines) hasLine = hasLine || CodeOf(line.content) == code;
        if (!hasLine) {
            added += LayoutEntryLine(code, value);
            added += newline;
        }
    }

    std::string result;
    result.reserve(text.size() + added.size() + 16);
    const auto addNew = [&] {
        if (added.empty()) return;
        if (!result.empty() && result.back() != '\n') result += newline;
        result += added;
    };
    for (size_t i = 0; i < lines.size(); ++i) {
        const RawLine& line = lines[i];
        const std::optional<int> code = CodeOf(line.content);
        const auto change = code ? changes.find(*code) : changes.end();
        if (change == changes.end()) {
            result += line.content;
            if (line.ended) result += '\n';
        } else if (change->second != 0 && written.insert(*code).second) {
            result += Renumbered(line.content, *code, change->second);
            if (line.ended) result += '\n';
        }
        if (i == lastEntry) addNew();
    }
    if (lastEntry == lines.size()) addNew();
    result += tail;
    return result;
}

std::string LayoutTextOf(const KeyNoteTable& table) {
    std::string text;
    for (size_t code = 1; code < table.size(); ++code) {
        if (table[code] != 0) text += LayoutEntryLine(static_cast<int>(code), table[code]) + "\r\n";
    }
    return text;
}

} // namespace zevaver

#include "engine/IniText.h"

namespace zevaver {

namespace {

std::string_view Trimmed(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
    return text;
}

void Set(IniSection& section, std::string name, std::string value) {
    for (auto& [existing, text] : section.values) {
        if (existing == name) {
            text = std::move(value);
            return;
        }
    }
    section.values.emplace_back(std::move(name), std::move(value));
}

} // namespace

std::string EscapeIniValue(std::string_view value) {
    std::string text;
    for (size_t i = 0; i < value.size(); ++i) {
        const char c = value[i];
        const bool edge = i == 0 || i + 1 == value.size();
        if (c == '\\')
            text += "\\\\";
        else if (c == '\n')
            text += "\\n";
        else if (c == '\r')
            text += "\\r";
        else if (c == '\t' && edge)
            text += "\\t";
        else if (c == ' ' && edge)
            text += "\\s";
        else
            text += c;
    }
    return text;
}

std::string UnescapeIniValue(std::string_view text) {
    std::string value;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\\' || i + 1 == text.size()) {
            value += text[i];
            continue;
        }
        switch (text[++i]) {
        case 'n':
            value += '\n';
            break;
        case 'r':
            value += '\r';
            break;
        case 't':
            value += '\t';
            break;
        case 's':
            value += ' ';
            break;
        default: // "\\" and any unknown escape stand for the character itself
            value += text[i];
            break;
        }
    }
    return value;
}

std::vector<IniSection> ParseIni(std::string_view text) {
    std::vector<IniSection> sections;
    IniSection* current = nullptr;
    while (!text.empty()) {
        const size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        line = Trimmed(line);
        if (line.empty() || line.front() == ';' || line.front() == '#') continue;
        if (line.front() == '[' && line.back() == ']') {
            const std::string name(Trimmed(line.substr(1, line.size() - 2)));
            current = nullptr;
            for (IniSection& section : sections)
                if (section.name == name) current = &section;
            if (!current) current = &sections.emplace_back(IniSection{name, {}});
            continue;
        }
        const size_t equals = line.find('=');
        if (equals == std::string_view::npos) continue;
        if (!current) {
            for (IniSection& section : sections)
                if (section.name.empty()) current = &section;
            if (!current) current = &sections.emplace_back();
        }
        Set(*current, std::string(Trimmed(line.substr(0, equals))),
            UnescapeIniValue(Trimmed(line.substr(equals + 1))));
    }
    return sections;
}

std::string FormatIni(const std::vector<IniSection>& sections) {
    std::string text;
    for (const IniSection& section : sections) {
        if (!text.empty()) text += '\n';
        // Values before any header need none; an empty section keeps its header.
        if (!section.name.empty() || &section != &sections.front() || section.values.empty())
            text += "[" + section.name + "]\n";
        for (const auto& [name, value] : section.values)
            text += name + "=" + EscapeIniValue(value) + "\n";
    }
    return text;
}

} // namespace zevaver

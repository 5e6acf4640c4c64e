#include "services/DesktopEntry.h"

#include <sstream>

namespace zevaver {

namespace {

// Characters that make an argument need quotes, and those escaped with a backslash inside
// them.
constexpr std::string_view Reserved = " \t\n\"'\\><~|&;$*?#()`";
constexpr std::string_view EscapedInQuotes = "\"`$\\";

std::string QuotedArgument(std::string_view argument) {
    std::string text;
    const bool quote = argument.empty() || argument.find_first_of(Reserved) != std::string::npos;
    if (quote) text += '"';
    for (const char c : argument) {
        if (quote && EscapedInQuotes.find(c) != std::string::npos) text += '\\';
        // A field code ("%f") is the desktop's to fill: a percent sign of our own is doubled.
        if (c == '%') text += '%';
        text += c;
    }
    if (quote) text += '"';
    return text;
}

// The escapes of every string value: a backslash, and the characters a line cannot hold.
std::string EscapedValue(std::string_view value) {
    std::string text;
    for (const char c : value) {
        switch (c) {
        case '\\':
            text += "\\\\";
            break;
        case '\n':
            text += "\\n";
            break;
        case '\t':
            text += "\\t";
            break;
        case '\r':
            text += "\\r";
            break;
        default:
            text += c;
        }
    }
    return text;
}

std::string_view Trimmed(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t' || text.back() == '\r'))
        text.remove_suffix(1);
    return text;
}

} // namespace

std::string DesktopExecValue(const std::vector<std::string>& arguments) {
    std::string line;
    for (const std::string& argument : arguments) {
        if (!line.empty()) line += ' ';
        line += QuotedArgument(argument);
    }
    return EscapedValue(line);
}

std::string AutostartEntry(const std::string& programPath) {
    std::string text = "[Desktop Entry]\n"
                       "Type=Application\n"
                       "Name=Zevaver MIDI Keyboard\n"
                       "Comment=Play MIDI notes with the computer keyboard\n"
                       "Icon=zevaver-midi-keyboard\n"
                       "Exec=";
    text += DesktopExecValue({programPath, "--minimized"});
    text += "\nTerminal=false\n"
            "X-GNOME-Autostart-enabled=true\n";
    return text;
}

bool AutostartEnabled(std::string_view entryText) {
    bool inEntry = false;
    std::istringstream lines{std::string(entryText)};
    for (std::string line; std::getline(lines, line);) {
        const std::string_view text = Trimmed(line);
        if (text.empty() || text.front() == '#') continue;
        if (text.front() == '[') {
            inEntry = text == "[Desktop Entry]";
            continue;
        }
        const size_t equals = text.find('=');
        if (!inEntry || equals == std::string_view::npos) continue;
        const std::string_view key = Trimmed(text.substr(0, equals));
        const std::string_view value = Trimmed(text.substr(equals + 1));
        if ((key == "Hidden" && value == "true") ||
            (key == "X-GNOME-Autostart-enabled" && value == "false"))
            return false;
    }
    return true;
}

} // namespace zevaver

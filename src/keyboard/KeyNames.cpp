#include "keyboard/KeyNames.h"

#include <array>
#include <string_view>
#include <utility>

namespace zevaver {

namespace {

constexpr int NumpadFirst = 0x60;
constexpr int NumpadLast = 0x6F;
constexpr int NumpadSeparator = 0x6C; // a key no current keyboard has

// The system's long names and the short ones the keys have room for; the last ones are
// the names of the X Window System (its key symbols), which Windows programs running there
// are given and which the Linux program reads from the keyboard map.
constexpr std::array<std::pair<std::string_view, std::string_view>, 45> ShortNames = {{
    {"Backspace", "Bksp"},      {"Page Up", "PgUp"},
    {"Prior", "PgUp"},          {"Page Down", "PgDn"},
    {"Next", "PgDn"},           {"Delete", "Del"},
    {"Insert", "Ins"},          {"Escape", "Esc"},
    {"Caps Lock", "Caps"},      {"Num Lock", "NumLk"},
    {"Scroll Lock", "ScrLk"},   {"Print Screen", "PrtSc"},
    {"Right Shift", "R Shift"}, {"Left Shift", "L Shift"},
    {"Right Ctrl", "R Ctrl"},   {"Right Control", "R Ctrl"},
    {"Control", "Ctrl"},        {"Right Alt", "R Alt"},
    {"Left Windows", "Win"},    {"Right Windows", "R Win"},
    {"Application", "Menu"},    {"Num Enter", "Enter"},
    {"BackSpace", "Bksp"},      {"Caps_Lock", "Caps"},
    {"Num_Lock", "NumLk"},      {"Scroll_Lock", "ScrLk"},
    {"Return", "Enter"},        {"space", "Space"},
    {"Super_L", "Win"},         {"Super_R", "R Win"},
    {"Print", "PrtSc"},         {"Shift_L", "Shift"},
    {"Shift_R", "R Shift"},     {"Control_L", "Ctrl"},
    {"Control_R", "R Ctrl"},    {"Alt_L", "Alt"},
    {"Alt_R", "R Alt"},         {"ISO_Level3_Shift", "AltGr"},
    {"Meta_L", "Alt"},          {"Page_Up", "PgUp"},
    {"Page_Down", "PgDn"},      {"KP_Enter", "Enter"},
    {"Sys_Req", "PrtSc"},       {"ISO_Left_Tab", "Tab"},
    {"Hyper_L", "Win"},
}};

std::string_view Shortened(std::string_view name) {
    for (const auto& [longName, shortName] : ShortNames)
        if (name == longName) return shortName;
    return name;
}

// A word and a number ("F1"); built up by appending (GCC 12 misreads the "a" + b form).
std::string Numbered(std::string_view word, int number) {
    std::string text(word);
    text += std::to_string(number);
    return text;
}

// A character the key prints: anything but a control character or white space.
bool Printable(std::string_view character) {
    if (character.empty()) return false;
    const auto first = static_cast<unsigned char>(character.front());
    return first > ' ' && first != 0x7F;
}

} // namespace

std::string BuiltInKeyName(int entry) {
    if (entry == 1) return "L Shift";
    if (entry == 2) return "R Shift";
    if ((entry >= '0' && entry <= '9') || (entry >= 'A' && entry <= 'Z'))
        return std::string(1, static_cast<char>(entry));
    if (entry >= NumpadFirst && entry <= NumpadFirst + 9)
        return Numbered("Num ", entry - NumpadFirst);
    if (entry >= 0x70 && entry <= 0x87) return Numbered("F", entry - 0x70 + 1);
    switch (entry) {
    case 0x08:
        return "Bksp";
    case 0x09:
        return "Tab";
    case 0x0D:
        return "Enter";
    case 0x10:
        return "Shift";
    case 0x11:
        return "Ctrl";
    case 0x12:
        return "Alt";
    case 0x13:
        return "Pause";
    case 0x14:
        return "Caps";
    case 0x1B:
        return "Esc";
    case 0x20:
        return "\xE2\x90\xA3"; // the open box that stands for a space
    case 0x21:
        return "PgUp";
    case 0x22:
        return "PgDn";
    case 0x23:
        return "End";
    case 0x24:
        return "Home";
    case 0x25:
        return "Left";
    case 0x26:
        return "Up";
    case 0x27:
        return "Right";
    case 0x28:
        return "Down";
    case 0x2D:
        return "Ins";
    case 0x2E:
        return "Del";
    case 0x5B:
        return "Win";
    case 0x5C:
        return "R Win";
    case 0x5D:
        return "Menu";
    case 0x6A:
        return "Num *";
    case 0x6B:
        return "Num +";
    case 0x6D:
        return "Num -";
    case 0x6E:
        return "Num .";
    case 0x6F:
        return "Num /";
    case 0x90:
        return "NumLk";
    case 0x91:
        return "ScrLk";
    case 0xBA:
        return ";";
    case 0xBB:
        return "=";
    case 0xBC:
        return ",";
    case 0xBD:
        return "-";
    case 0xBE:
        return ".";
    case 0xBF:
        return "/";
    case 0xC0:
        return "`";
    case 0xDB:
        return "[";
    case 0xDC:
        return "\\";
    case 0xDD:
        return "]";
    case 0xDE:
        return "'";
    case 0xE2:
        return "\\";
    default:
        return Numbered("#", entry);
    }
}

std::string KeyCaption(int entry, const SystemKeyText& text) {
    // The Shift entries are sides of one key code, which the system names alike; the space
    // bar's name would fit on no key, its sign on every one.
    if (entry == 1 || entry == 2 || entry == 0x20) return BuiltInKeyName(entry);
    // The numeric pad types the digits of the top row: it keeps its own name, with the
    // character the layout gives it (a comma for the decimal key on many keyboards).
    if (entry >= NumpadFirst && entry <= NumpadLast && entry != NumpadSeparator) {
        if (Printable(text.character)) return std::string("Num ").append(text.character);
        return BuiltInKeyName(entry);
    }
    if (Printable(text.character)) return text.character;
    if (!text.name.empty()) return std::string(Shortened(text.name));
    return BuiltInKeyName(entry);
}

} // namespace zevaver

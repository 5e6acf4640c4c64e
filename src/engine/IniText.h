// The text of a settings file in the INI form: "[section]" headers and "name=value" lines.
// Values may hold any text: a backslash, a line end and a space at either end are written
// as escapes, so every value reads back exactly as it was written.
#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace zevaver {

struct IniSection {
    std::string name;
    std::vector<std::pair<std::string, std::string>> values; // in file order
    friend bool operator==(const IniSection&, const IniSection&) = default;
};

// Lines end with LF or CR LF; blank lines and lines beginning with ";" or "#" are skipped;
// spaces around names and values are dropped; a line without "=" is skipped; values before
// the first header belong to a section with an empty name. A later value of a name
// replaces an earlier one in the same section.
[[nodiscard]] std::vector<IniSection> ParseIni(std::string_view text);
[[nodiscard]] std::string FormatIni(const std::vector<IniSection>& sections);

// The value's text as written after "=", and back.
[[nodiscard]] std::string EscapeIniValue(std::string_view value);
[[nodiscard]] std::string UnescapeIniValue(std::string_view text);

} // namespace zevaver

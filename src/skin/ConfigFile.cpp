#include "skin/ConfigFile.h"

#include "framework/Text.h"
#include "engine/NumberText.h"

#include <variant>

namespace zevaver {

namespace {

// A field of the record that a key writes.
using FieldRef = std::variant<bool TSkinConfig::*, int32_t TSkinConfig::*, TRGB TSkinConfig::*,
                              std::string TSkinConfig::*>;

struct ConfigKey {
    std::string_view name;
    FieldRef field;
};

// No name is the beginning of another, so at most one key matches a line.
const ConfigKey ConfigKeys[] = {
    {"WindowsStyle", &TSkinConfig::WindowsStyle},
    {"StretchTitle", &TSkinConfig::StretchTitle},
    {"CenterTitle", &TSkinConfig::CenterTitle},
    {"BorderSize", &TSkinConfig::BorderSize},
    {"CornerSize", &TSkinConfig::CornerSize},
    {"CornerArea", &TSkinConfig::CornerArea},
    {"BlackKeysHeight", &TSkinConfig::BlackKeysHeight},
    {"FaderTicksFrequency", &TSkinConfig::FaderTicksFrequency},
    {"FaderWidth", &TSkinConfig::FaderWidth},
    {"KeysOutlineWidth", &TSkinConfig::KeysOutlineWidth},
    {"FaderColor", &TSkinConfig::FaderColor},
    {"BackgroundColor", &TSkinConfig::BackgroundColor},
    {"WhiteKeyColor", &TSkinConfig::WhiteKeyColor},
    {"BlackKeyColor", &TSkinConfig::BlackKeyColor},
    {"WhiteKeyDownColor", &TSkinConfig::WhiteKeyDownColor},
    {"BlackKeyDownColor", &TSkinConfig::BlackKeyDownColor},
    {"KeysOutlineColor", &TSkinConfig::KeysOutlineColor},
    {"FaderStyle", &TSkinConfig::FaderStyle},
};

// A whole integer (decimal, or hexadecimal after "$" or "0x"), else the leading digits with
// the sign ignored, else 0.
int32_t ReadConfigInteger(std::string_view value) noexcept {
    if (std::optional<int32_t> whole = ParseWholeInteger(value)) return *whole;
    const int64_t leading = ReadLeadingNumber(value);
    return static_cast<int32_t>(static_cast<uint32_t>(leading < 0 ? -leading : leading));
}

// False when the value has fewer than three comma-separated parts.
bool ReadConfigColor(std::string_view value, TRGB& rgb) noexcept {
    int32_t parts[3]{};
    size_t start = 0;
    for (int i = 0; i < 3; ++i) {
        if (start > value.size()) return false;
        size_t comma = value.find(',', start);
        std::string_view item = value.substr(
            start, comma == std::string_view::npos ? std::string_view::npos : comma - start);
        parts[i] = ReadConfigInteger(item);
        start = comma == std::string_view::npos ? value.size() + 1 : comma + 1;
    }
    rgb = {parts[0], parts[1], parts[2]};
    return true;
}

void ApplyLine(std::string_view line, TSkinConfig& config) {
    const size_t equals = line.find('=');
    const std::string_view value =
        equals == std::string_view::npos ? line : line.substr(equals + 1);
    for (const ConfigKey& key : ConfigKeys) {
        if (!fw::StartsWithNoCase(line, key.name)) continue;
        std::visit(
            [&](auto member) {
                auto& field = config.*member;
                using Field = std::remove_reference_t<decltype(field)>;
                if constexpr (std::is_same_v<Field, bool>) {
                    field = fw::EqualNoCase(value, "yes");
                } else if constexpr (std::is_same_v<Field, int32_t>) {
                    field = ReadConfigInteger(value);
                } else if constexpr (std::is_same_v<Field, TRGB>) {
                    (void)ReadConfigColor(value, field);
                } else {
                    field = fw::LowerAscii(value);
                }
            },
            key.field);
        return;
    }
}

} // namespace

std::string NormalizeConfigLine(std::string_view line) {
    std::string normal;
    normal.reserve(line.size());
    for (char c : line) {
        if (static_cast<unsigned char>(c) < 33) continue;
        if (c == ';') break;
        normal.push_back(c);
    }
    return normal;
}

void ReadSkinConfigText(std::string_view text, TSkinConfig& config) {
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string_view::npos) end = text.size();
        const std::string line = NormalizeConfigLine(text.substr(start, end - start));
        if (!line.empty()) ApplyLine(line, config);
        start = end + 1;
    }
}

} // namespace zevaver

#include "skin/ConfigFile.h"

#include "framework/Text.h"

#include <algorithm>
#include <cstdint>
#include <limits>
#include <optional>
#include <variant>

namespace zevaver {

namespace {

// A field of the record that a key writes.
using FieldRef = std::variant<bool TSkinConfig::*, int32_t TSkinConfig::*, TRGB TSkinConfig::*,
                              std::string TSkinConfig::*>;

struct ConfigKey {
    std::string_view name;
    FieldRef field;
    // The range a size or a count is held to: drawing and layout do sums with them.
    int32_t low = 0;
    int32_t high = 0;
};

// No name is the beginning of another, so at most one key matches a line.
const ConfigKey ConfigKeys[] = {
    {"WindowsStyle", &TSkinConfig::WindowsStyle},
    {"StretchTitle", &TSkinConfig::StretchTitle},
    {"CenterTitle", &TSkinConfig::CenterTitle},
    {"BorderSize", &TSkinConfig::BorderSize, 0, MaxSkinSize},
    {"CornerSize", &TSkinConfig::CornerSize, 0, MaxSkinSize},
    {"CornerArea", &TSkinConfig::CornerArea, 0, MaxSkinSize},
    {"BlackKeysHeight", &TSkinConfig::BlackKeysHeight, 0, 100},
    {"FaderTicksFrequency", &TSkinConfig::FaderTicksFrequency, 1, 127},
    {"FaderWidth", &TSkinConfig::FaderWidth, 0, MaxSkinSize},
    {"KeysOutlineWidth", &TSkinConfig::KeysOutlineWidth, 0, MaxSkinSize},
    {"FaderColor", &TSkinConfig::FaderColor},
    {"BackgroundColor", &TSkinConfig::BackgroundColor},
    {"WhiteKeyColor", &TSkinConfig::WhiteKeyColor},
    {"BlackKeyColor", &TSkinConfig::BlackKeyColor},
    {"WhiteKeyDownColor", &TSkinConfig::WhiteKeyDownColor},
    {"BlackKeyDownColor", &TSkinConfig::BlackKeyDownColor},
    {"KeysOutlineColor", &TSkinConfig::KeysOutlineColor},
    {"FaderStyle", &TSkinConfig::FaderStyle},
};

int DigitValue(char c, int base) noexcept {
    int value = -1;
    if (c >= '0' && c <= '9')
        value = c - '0';
    else if (base == 16 && c >= 'a' && c <= 'f')
        value = c - 'a' + 10;
    else if (base == 16 && c >= 'A' && c <= 'F')
        value = c - 'A' + 10;
    return value;
}

struct Digits {
    int64_t value = 0; // held just past the 32-bit range, so a longer number cannot wrap
    size_t end = 0;    // the first character that is not a digit
    bool any = false;
};

Digits ReadDigits(std::string_view text, size_t at, int base) noexcept {
    constexpr int64_t Beyond = int64_t{std::numeric_limits<int32_t>::max()} + 2;
    Digits digits{0, at, false};
    for (; digits.end < text.size(); ++digits.end) {
        const int digit = DigitValue(text[digits.end], base);
        if (digit < 0) break;
        digits.any = true;
        digits.value = std::min(digits.value * base + digit, Beyond);
    }
    return digits;
}

bool IsSign(std::string_view text) noexcept {
    return !text.empty() && (text.front() == '+' || text.front() == '-');
}

// The whole value as one integer: decimal with an optional sign, or hexadecimal after a
// leading "$" or "0x"; nothing outside the signed 32-bit range.
std::optional<int32_t> WholeConfigInteger(std::string_view value) noexcept {
    size_t at = 0;
    int base = 10;
    bool negative = false;
    if (value.starts_with('$')) {
        at = 1;
        base = 16;
    } else if (value.starts_with("0x")) {
        at = 2;
        base = 16;
    } else if (IsSign(value)) {
        negative = value.front() == '-';
        at = 1;
    }
    const Digits digits = ReadDigits(value, at, base);
    if (!digits.any || digits.end != value.size()) return std::nullopt;
    const int64_t number = negative ? -digits.value : digits.value;
    if (number < std::numeric_limits<int32_t>::min() ||
        number > std::numeric_limits<int32_t>::max())
        return std::nullopt;
    return static_cast<int32_t>(number);
}

// A whole integer, else the decimal digits it begins with (after a sign, which is then
// ignored; more than fits gives the largest value), else 0: "12px" is 12, "-12px" 12,
// "x10" and "$10px" 0, and "0x1Fpx" its leading "0".
int32_t ReadConfigInteger(std::string_view value) noexcept {
    if (std::optional<int32_t> whole = WholeConfigInteger(value)) return *whole;
    const Digits digits = ReadDigits(value, IsSign(value) ? 1 : 0, 10);
    return static_cast<int32_t>(
        std::min<int64_t>(digits.value, std::numeric_limits<int32_t>::max()));
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
                    field = std::clamp(ReadConfigInteger(value), key.low, key.high);
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

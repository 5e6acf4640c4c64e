#include "engine/NumberText.h"

#include <limits>

namespace zevaver {

namespace {

constexpr uint64_t MaxMagnitude = 0xFFFFFFFFu;

struct Scan {
    bool negative = false;
    bool anyDigit = false;
    uint64_t magnitude = 0;
    size_t end = 0; // index of the first character not read
};

int DigitValue(char c, unsigned base) noexcept {
    int value = -1;
    if (c >= '0' && c <= '9')
        value = c - '0';
    else if (c >= 'a' && c <= 'f')
        value = c - 'a' + 10;
    else if (c >= 'A' && c <= 'F')
        value = c - 'A' + 10;
    return value >= 0 && static_cast<unsigned>(value) < base ? value : -1;
}

// Spaces, sign, base prefix and as many digits as fit in 32 bits.
Scan ScanNumber(std::string_view text) noexcept {
    Scan scan;
    size_t i = 0;
    while (i < text.size() && text[i] == ' ') ++i;
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) {
        scan.negative = text[i] == '-';
        ++i;
    }
    unsigned base = 10;
    if (i < text.size() && (text[i] == '$' || text[i] == 'x' || text[i] == 'X')) {
        base = 16;
        ++i;
    } else if (i + 1 < text.size() && text[i] == '0' &&
               (text[i + 1] == 'x' || text[i + 1] == 'X')) {
        base = 16;
        i += 2;
    }
    for (; i < text.size(); ++i) {
        int digit = DigitValue(text[i], base);
        if (digit < 0) break;
        uint64_t next = scan.magnitude * base + static_cast<unsigned>(digit);
        if (next > MaxMagnitude) break;
        scan.magnitude = next;
        scan.anyDigit = true;
    }
    scan.end = i;
    return scan;
}

} // namespace

std::optional<int32_t> ParseWholeInteger(std::string_view text) noexcept {
    Scan scan = ScanNumber(text);
    if (!scan.anyDigit || scan.end != text.size()) return std::nullopt;
    int64_t value = scan.negative ? -static_cast<int64_t>(scan.magnitude)
                                  : static_cast<int64_t>(scan.magnitude);
    if (value < std::numeric_limits<int32_t>::min() || value > std::numeric_limits<int32_t>::max())
        return std::nullopt;
    return static_cast<int32_t>(value);
}

int32_t ReadSettingsNumber(std::string_view text) noexcept {
    return ParseWholeInteger(text).value_or(0);
}

int64_t ReadLeadingNumber(std::string_view text) noexcept {
    Scan scan = ScanNumber(text);
    int64_t value = static_cast<int64_t>(scan.magnitude);
    if (scan.negative && scan.anyDigit && scan.end == text.size()) value = -value;
    return value;
}

size_t LeadingNumberLength(std::string_view text) noexcept {
    return ScanNumber(text).end;
}

std::string FormatDecimal(int32_t number) {
    return std::to_string(number);
}

std::optional<bool> ParseYesNo(std::string_view text) noexcept {
    if (text == "Yes") return true;
    if (text == "No") return false;
    return std::nullopt;
}

const char* YesNoText(bool flag) noexcept {
    return flag ? "Yes" : "No";
}

} // namespace zevaver

// Numbers and flags as the settings store and the layout files write them: integers as
// text (decimal, or hexadecimal after "$", "x", "X", "0x", "0X"), flags as "Yes"/"No".
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace zevaver {

// The whole text must be one integer: leading spaces, an optional "-" or "+", then the
// digits and nothing after them. Anything else, and a value that does not fit a signed
// 32-bit integer, gives no value.
[[nodiscard]] std::optional<int32_t> ParseWholeInteger(std::string_view text) noexcept;

// Settings values that are not whole integers read as 0 (not as the field's default).
[[nodiscard]] int32_t ReadSettingsNumber(std::string_view text) noexcept;

// Reads as far as the text makes sense: leading spaces, an optional sign, then digits up
// to the first other character (text after the number, such as a remark, is ignored).
// The sign counts only when the digits run to the end of the text, so "-5" is -5 but
// "-5 " and "-5;" are 5. Empty or non-numeric text gives 0. Reading also stops before a
// digit that would take the magnitude past 32 bits, which then counts as other text.
[[nodiscard]] int64_t ReadLeadingNumber(std::string_view text) noexcept;
// How many characters of the text ReadLeadingNumber reads: spaces, sign, base prefix and
// digits.
[[nodiscard]] size_t LeadingNumberLength(std::string_view text) noexcept;

// Decimal text: a minus sign for negative numbers, no leading zeros, no grouping.
[[nodiscard]] std::string FormatDecimal(int32_t number);

// Exactly "Yes" or "No" (case-sensitive); any other text gives no value.
[[nodiscard]] std::optional<bool> ParseYesNo(std::string_view text) noexcept;
[[nodiscard]] const char* YesNoText(bool flag) noexcept;

} // namespace zevaver

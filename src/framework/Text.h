// Letter case as the program compares it itself (skin and layout names, the keys of a
// skin's "config.txt"): ASCII letters only, whatever the platform's locale.
#pragma once

#include <algorithm>
#include <string>
#include <string_view>

namespace zevaver {

namespace fw {

[[nodiscard]] constexpr char LowerAscii(char c) noexcept {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

[[nodiscard]] inline std::string LowerAscii(std::string_view text) {
    std::string lower(text);
    for (char& c : lower) c = LowerAscii(c);
    return lower;
}

[[nodiscard]] inline bool EqualNoCase(std::string_view a, std::string_view b) noexcept {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return LowerAscii(x) == LowerAscii(y);
           });
}

[[nodiscard]] inline bool StartsWithNoCase(std::string_view text,
                                           std::string_view prefix) noexcept {
    return text.size() >= prefix.size() && EqualNoCase(text.substr(0, prefix.size()), prefix);
}

// Byte order of the lowered texts, as std::string compares them.
[[nodiscard]] inline bool LessNoCase(std::string_view a, std::string_view b) noexcept {
    return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        return static_cast<unsigned char>(LowerAscii(x)) <
               static_cast<unsigned char>(LowerAscii(y));
    });
}

} // namespace fw

} // namespace zevaver

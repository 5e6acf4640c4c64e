// Names (UTF-8) compared as the platform compares them for the user, so that letters of
// every script count, not ASCII ones alone.
#pragma once

#include <string_view>

namespace zevaver {

namespace fw {

// The order of a list shown to the user: the user's language's, letter case aside, and
// numbers inside names by their value ("Bass 2" before "Bass 10"), as file lists sort.
[[nodiscard]] bool LessForUser(std::string_view a, std::string_view b) noexcept;

// Whether two names are the same but for letter case, as the file system compares file
// names ("Ärger" and "äRGER" are, "Ärger" and "Arger" are not).
[[nodiscard]] bool SameNameIgnoringCase(std::string_view a, std::string_view b) noexcept;

} // namespace fw

} // namespace zevaver

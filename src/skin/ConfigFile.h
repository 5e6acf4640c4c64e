// The grammar of a skin's "config.txt": one "Key = Value" per line, blanks and control
// characters ignored wherever they stand, ";" starts a comment, keys matched by their
// beginning without regard to letter case, the last value of a key wins and keys that do
// not occur keep what the record held before. Sizes and counts are held to a sane range as
// they are read (see MaxSkinSize); colours are kept exactly as read.
#pragma once

#include "skin/SkinConfig.h"

#include <string>
#include <string_view>

namespace zevaver {

// Removes every character below 33 (blanks, tabs, control characters) and then everything
// from the first ";" on.
[[nodiscard]] std::string NormalizeConfigLine(std::string_view line);

// Applies every line of a whole "config.txt" to the record. Lines end with LF or CR LF. Never
// fails: a line that names no key is skipped, and so is a colour with fewer than three
// parts (the field keeps its value).
void ReadSkinConfigText(std::string_view text, TSkinConfig& config);

} // namespace zevaver

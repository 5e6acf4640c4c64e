// What the X keyboard map's key symbols print on a key top, where the symbol itself prints
// nothing: a dead key (an accent that waits for its letter) shows its accent.
#pragma once

#include <cstdint>
#include <string>

namespace zevaver {

// The accent of a dead key's symbol as UTF-8 text, in its spacing form ("´", "^", "¨");
// "" for any other symbol.
[[nodiscard]] std::string DeadKeyAccent(uint32_t keySymbol);

} // namespace zevaver

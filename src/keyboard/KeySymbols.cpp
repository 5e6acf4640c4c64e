#include "keyboard/KeySymbols.h"

#include <array>
#include <utility>

namespace zevaver {

namespace {

// The dead keys of the X keyboard map (0xFE50 on), each with the character a key top shows
// for it.
constexpr uint32_t FirstDeadKey = 0xFE50;
constexpr std::array<const char*, 13> DeadAccents = {
    "`",        // grave
    "\xC2\xB4", // acute
    "^",        // circumflex
    "~",        // tilde
    "\xC2\xAF", // macron
    "\xCB\x98", // breve
    "\xCB\x99", // dot above
    "\xC2\xA8", // diaeresis
    "\xCB\x9A", // ring above
    "\xCB\x9D", // double acute
    "\xCB\x87", // caron
    "\xC2\xB8", // cedilla
    "\xCB\x9B", // ogonek
};

} // namespace

std::string DeadKeyAccent(uint32_t keySymbol) {
    if (keySymbol < FirstDeadKey || keySymbol - FirstDeadKey >= DeadAccents.size()) return {};
    return DeadAccents[keySymbol - FirstDeadKey];
}

} // namespace zevaver

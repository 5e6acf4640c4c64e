// Changing a layout file the way a person editing it by hand would: only the lines of the
// keys that change are touched. Comments, blank lines, lines the reader ignores or cannot
// place and everything after a Ctrl-Z stay as they were, byte for byte, in their places.
#pragma once

#include "engine/KeyNotes.h"

#include <cstdint>
#include <map>
#include <string>
#include <string_view>

namespace zevaver {

// Layout entry -> its new value; 0 removes the key from the layout.
using LayoutChanges = std::map<int, uint8_t>;

// The line that maps a key in the files' own style: letters and digits as themselves
// ("F = 65"), every other key as "#" and its code ("#188 = 61").
[[nodiscard]] std::string LayoutEntryLine(int code, int value);

// The text with the changes made. A key's first line keeps its key part and any remark
// after the number, with the new number; its later lines go, as do all its lines when it
// is removed. A key without a line gets a new one after the last entry (at the end when
// there is none), ending as the file's lines end (CR LF or LF). Reading the result gives
// what reading the text gives, with the changes.
[[nodiscard]] std::string ChangeLayoutText(std::string_view text, const LayoutChanges& changes);

// A new layout file holding a table: one line per key that plays, in code order.
[[nodiscard]] std::string LayoutTextOf(const KeyNoteTable& table);

} // namespace zevaver

// What a skin picture file must hold before the platform's loader may read it: the
// loader trusts the sizes in the headers and reads past the end of a file that is cut
// short or claims more pixels than it holds.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace zevaver {

// True for a whole Windows bitmap file: "BM", a known header, a positive width and a
// non-zero height of at most 32767 pixels each, a known depth, and (for uncompressed
// pictures) every row of pixels inside the file.
[[nodiscard]] bool IsWholeBitmapFile(std::string_view bytes) noexcept;

// What the checks above read of a whole bitmap file, for the loader.
struct BitmapFileLayout {
    uint32_t pixelsAt = 0; // where the pixels (or run-length codes) begin
    int width = 0;
    int height = 0; // without its sign, which only says which row comes first
    bool runLength = false;
};
[[nodiscard]] std::optional<BitmapFileLayout> ReadBitmapFileLayout(std::string_view bytes) noexcept;

} // namespace zevaver

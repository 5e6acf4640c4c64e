// Skin pictures at the screen's scale. Each pixel of the scaled picture is the average of
// the part of the picture it covers: at whole factors (200 %, 300 %) every pixel of the
// picture becomes a block of its own colour, so edges stay crisp and no colour is made
// up; at other factors only the pixels that straddle an edge of the picture's pixels mix
// their neighbours, which keeps lines even in width instead of some a pixel thicker.
#pragma once

#include <cstdint>
#include <vector>

namespace zevaver {

// The pixels of a 24-bit bitmap as a DIB section holds them: three bytes blue, green, red,
// rows padded to four bytes, stored bottom-up or top-down.
struct Pixels24 {
    const uint8_t* bits = nullptr;
    int width = 0;
    int height = 0;
    int stride = 0; // bytes from one stored row to the next
    bool bottomUp = true;
};

// The largest picture a skin bitmap is scaled to, in pixels; a larger one is drawn at its
// own size rather than taking hundreds of megabytes.
inline constexpr int64_t MaxScaledPicturePixels = int64_t{1} << 24;

struct ScaledPicture {
    std::vector<uint8_t> bytes; // three bytes blue, green, red per pixel, rows top-down
    int width = 0;
    int height = 0;
    [[nodiscard]] Pixels24 View() const noexcept {
        return {bytes.data(), width, height, width * 3, false};
    }
};

// The picture scaled to width x height; empty for an empty picture or size.
[[nodiscard]] ScaledPicture ScalePicture(const Pixels24& picture, int width, int height);

} // namespace zevaver

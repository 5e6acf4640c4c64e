// The display scale: lengths given at 96 DPI (100 %), the size every skin picture, skin
// setting, stored zoom and layout constant is made for, in the pixels of a screen of
// another DPI. Rounding is to the nearest pixel with halves away from zero, the same for
// every length, so a bitmap scaled to a size and a rectangle scaled to hold it agree.
#pragma once

#include <cstdint>

namespace zevaver {

namespace fw {

// 100 %: the DPI at which a length is its own number of pixels.
inline constexpr int BaseDpi = 96;
// The DPI a scale is held within (50 % to 1000 %): a value outside it comes from no screen.
inline constexpr int MinDpi = 48;
inline constexpr int MaxDpi = 960;

// A length at one DPI as long at another, rounded to the nearest pixel (halves away from
// zero); computed wide, so any int is safe.
[[nodiscard]] int RescaleLength(int length, int fromDpi, int toDpi) noexcept;

class DpiScale {
public:
    constexpr DpiScale() noexcept = default;
    // A DPI outside MinDpi..MaxDpi is taken as the nearer end; 0 or less as 96.
    explicit DpiScale(int dpi) noexcept;

    [[nodiscard]] int Dpi() const noexcept { return dpi_; }
    // 100 %: every length stays as it is.
    [[nodiscard]] bool IsBase() const noexcept { return dpi_ == BaseDpi; }

    // A length at 96 DPI in this scale's pixels.
    [[nodiscard]] int Px(int length) const noexcept { return RescaleLength(length, BaseDpi, dpi_); }
    // A length in this scale's pixels back at 96 DPI.
    [[nodiscard]] int ToBase(int pixels) const noexcept {
        return RescaleLength(pixels, dpi_, BaseDpi);
    }
    // What one pixel at 96 DPI is here: the thickness of a one-pixel line or gap, never
    // less than one pixel.
    [[nodiscard]] int Unit() const noexcept;

    friend bool operator==(const DpiScale&, const DpiScale&) = default;

private:
    int dpi_ = BaseDpi;
};

} // namespace fw

} // namespace zevaver

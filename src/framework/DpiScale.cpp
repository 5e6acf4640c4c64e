#include "framework/DpiScale.h"

#include "framework/PixelSurface.h"

#include <algorithm>

namespace zevaver {

namespace fw {

int RescaleLength(int length, int fromDpi, int toDpi) noexcept {
    if (fromDpi <= 0 || toDpi <= 0 || fromDpi == toDpi) return length;
    const int64_t product = int64_t{length} * toDpi;
    const int64_t magnitude = ((product < 0 ? -product : product) * 2 + fromDpi) / (2 * fromDpi);
    return ClampToInt(product < 0 ? -magnitude : magnitude);
}

DpiScale::DpiScale(int dpi) noexcept : dpi_(dpi <= 0 ? BaseDpi : std::clamp(dpi, MinDpi, MaxDpi)) {}

int DpiScale::Unit() const noexcept {
    return std::max(1, Px(1));
}

} // namespace fw

} // namespace zevaver

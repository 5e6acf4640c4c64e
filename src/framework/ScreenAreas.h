// Rectangles on the desktop and the monitors' areas: which area a window belongs to and
// how it is brought into one, for every window the program places.
#pragma once

#include "framework/PixelSurface.h"

#include <cstdint>
#include <vector>

namespace zevaver {

namespace fw {

// The area that holds most of the rectangle, or the nearest one when none holds any of it
// (the first of equals); null when there are no areas. Edges in 64 bits: stored corners
// may be any number.
[[nodiscard]] const PixelRect* BestArea(int64_t left, int64_t top, int64_t right, int64_t bottom,
                                        const std::vector<PixelRect>& areas) noexcept;

// Along one axis: where something `length` long that starts at `from` starts after the
// shortest move that brings its far end within [low, high), then its near end (so one
// longer than the area sticks out at the far end).
[[nodiscard]] int MovedInto(int64_t from, int length, int low, int high) noexcept;

} // namespace fw

} // namespace zevaver

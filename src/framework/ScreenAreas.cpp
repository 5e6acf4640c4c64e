#include "framework/ScreenAreas.h"

#include <algorithm>

namespace zevaver {

namespace fw {

const PixelRect* BestArea(int64_t left, int64_t top, int64_t right, int64_t bottom,
                          const std::vector<PixelRect>& areas) noexcept {
    const auto overlap = [&](const PixelRect& a) {
        const int64_t w = std::min<int64_t>(right, a.right) - std::max<int64_t>(left, a.left);
        const int64_t h = std::min<int64_t>(bottom, a.bottom) - std::max<int64_t>(top, a.top);
        return w > 0 && h > 0 ? w * h : 0;
    };
    const auto distance = [&](const PixelRect& a) {
        const auto dx = static_cast<double>(std::max({int64_t{0}, a.left - right, left - a.right}));
        const auto dy = static_cast<double>(std::max({int64_t{0}, a.top - bottom, top - a.bottom}));
        return dx * dx + dy * dy;
    };
    const PixelRect* best = areas.empty() ? nullptr : &areas.front();
    for (const PixelRect& area : areas) {
        const int64_t more = overlap(area) - overlap(*best);
        if (more > 0 || (more == 0 && overlap(area) == 0 && distance(area) < distance(*best)))
            best = &area;
    }
    return best;
}

int MovedInto(int64_t from, int length, int low, int high) noexcept {
    return ClampToInt(std::max<int64_t>(low, std::min<int64_t>(from, int64_t{high} - length)));
}

} // namespace fw

} // namespace zevaver

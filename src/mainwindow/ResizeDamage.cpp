#include "mainwindow/ResizeDamage.h"

#include <algorithm>
#include <cstdint>

namespace zevaver {

// Sums of stored and skin sizes, which may be anything: worked out wide and held to int.
WidthDependents WidthDependentsOf(const FrameMetrics& frame, int cornerSize, int noteWidth,
                                  int outlineWidth) noexcept {
    const auto size = [](int value) { return int64_t{std::max(value, 0)}; };
    const int64_t border = size(frame.border), corner = size(cornerSize);
    const int64_t unit = std::max(frame.unit, 1); // the line under the title, the free column
    WidthDependents depths;
    depths.top = fw::ClampToInt(std::max(border + size(frame.title) + unit, corner));
    depths.bottom = fw::ClampToInt(std::max(border, corner));
    // Two key widths: the last key drawn whole and the one cut off after it.
    depths.right =
        fw::ClampToInt(border + size(frame.fader) + corner + 2 * std::max<int64_t>(noteWidth, 1) +
                       std::max<int64_t>(outlineWidth, 1) + unit);
    return depths;
}

std::vector<fw::PixelRect> ResizeDamage(ClientSize before, ClientSize after, bool vertical,
                                        const WidthDependents& depths) {
    const fw::PixelRect all{0, 0, after.width, after.height};
    if (after.width <= 0 || after.height <= 0) return {};
    if (vertical || before.height != after.height || before.width <= 0) return {all};
    if (before.width == after.width) return {};
    const int kept = std::min(before.width, after.width) - depths.right;
    if (kept <= 0) return {all};
    return {
        {0, 0, after.width, std::min(depths.top, after.height)},
        {0, std::max(after.height - depths.bottom, 0), after.width, after.height},
        {kept, 0, after.width, after.height},
    };
}

} // namespace zevaver

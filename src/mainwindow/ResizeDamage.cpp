#include "mainwindow/ResizeDamage.h"

#include <algorithm>

namespace zevaver {

WidthDependents WidthDependentsOf(const FrameMetrics& frame, int cornerSize, int noteWidth,
                                  int outlineWidth) noexcept {
    const int border = std::max(frame.border, 0), corner = std::max(cornerSize, 0);
    WidthDependents depths;
    depths.top = std::max(border + std::max(frame.title, 0) + 1, corner);
    depths.bottom = std::max(border, corner);
    // Two key widths: the last key drawn whole and the one cut off after it.
    depths.right = border + std::max(frame.fader, 0) + corner + 2 * std::max(noteWidth, 1) +
                   std::max(outlineWidth, 1) + 1;
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

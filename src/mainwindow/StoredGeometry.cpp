#include "mainwindow/StoredGeometry.h"

#include "framework/DpiScale.h"

namespace zevaver {

StoredWindow StoredBounds(const TSettings& settings, int startDpi) noexcept {
    if (settings.Dpi > 0) {
        return {{settings.Left, settings.Top, settings.Width, settings.Height},
                fw::DpiScale(settings.Dpi).Dpi()};
    }
    const fw::DpiScale start(startDpi);
    return {{start.Px(settings.Left), start.Px(settings.Top), settings.Width, settings.Height},
            fw::BaseDpi};
}

WindowRect AtDpi(const StoredWindow& window, int dpi) noexcept {
    const WindowRect& b = window.bounds;
    return {b.left, b.top, fw::RescaleLength(b.width, window.dpi, dpi),
            fw::RescaleLength(b.height, window.dpi, dpi)};
}

} // namespace zevaver

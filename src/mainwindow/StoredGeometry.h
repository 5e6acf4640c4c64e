// How the window's stored place and size keep their meaning from one run to the next when
// the screen's scale (DPI) differs. "Left" and "Top" are the window's top-left corner on the
// desktop, in the pixels the system gives a DPI-aware program: a place, which a change of
// scale does not move. "Width" and "Height" are its outer size in pixels at the DPI that
// "DPI" names: at another scale they are converted, so the window keeps its size on the
// screen as the eye sees it. "Note Width", the zoom, is always at 96 DPI.
//
// Earlier versions stored no "DPI": they were not DPI aware, so Windows ran them at 96 DPI
// and stretched their window. Their size is thus one at 96 DPI, and their corner lies in
// the stretched desktop of the screen they ran on, read here at the scale of the screen the
// program starts on.
#pragma once

#include "engine/Settings.h"
#include "mainwindow/Geometry.h"

namespace zevaver {

struct StoredWindow {
    WindowRect bounds; // the corner on this run's desktop, the size at `dpi`
    int dpi = 0;
    friend bool operator==(const StoredWindow&, const StoredWindow&) = default;
};

// The stored window; startDpi: the scale of the screen the program starts on.
[[nodiscard]] StoredWindow StoredBounds(const TSettings& settings, int startDpi) noexcept;

// The same window with its size at another DPI (its corner stays).
[[nodiscard]] WindowRect AtDpi(const StoredWindow& window, int dpi) noexcept;

} // namespace zevaver

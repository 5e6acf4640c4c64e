// The screens' DPI as Windows gives it to a per-monitor aware program. The functions that
// say it per window and per monitor came with Windows 8.1 and 10; they are looked up when
// first needed, and on an older system the one DPI of the whole desktop answers instead.
#pragma once

#include <windows.h>

namespace zevaver {

namespace fw {

// The DPI a window is drawn at: its monitor's.
[[nodiscard]] int WindowDpi(HWND window) noexcept;
// The DPI of the monitor that holds most of a rectangle of the desktop (the nearest one
// when none holds any of it). Loads the shell's library, which only a desktop of several
// monitors needs: with one, every window has its DPI.
[[nodiscard]] int DpiOfArea(const RECT& area) noexcept;
// A system metric (an icon's size, say) at a DPI.
[[nodiscard]] int MetricAtDpi(int index, int dpi) noexcept;

} // namespace fw

} // namespace zevaver

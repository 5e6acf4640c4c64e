// The library's own thread: it owns the hooks and runs the message loop that the
// platform calls them from, so a busy or modal program never holds up the system's
// input. Started by the first kind switched on, ended when the last one goes off.
// Callable from any thread of the process; calls are serialised.
#pragma once

namespace vivuvav {

void StartKind(int kind) noexcept;
void StopKind(int kind) noexcept;
[[nodiscard]] bool AnyKindActive() noexcept;
void StopAllKinds() noexcept;

} // namespace vivuvav

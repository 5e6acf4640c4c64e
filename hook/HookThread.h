// Where the hooks run. The keyboard, asked for by the thread that owns the receiver
// window, is hooked on that very thread: the key reaches the program inside the hook's own
// call, where a note can go out before anything else, instead of after a hop between two
// threads (the largest part of a keystroke's way through the program). That thread runs a
// message loop anyway, for the receiver.
// Everything else (and the keyboard asked for from any other thread) runs on the
// library's own thread, which owns those hooks and runs the message loop that the
// platform calls them from; it starts with the first such kind switched on and ends when
// the last one goes off. Callable from any thread of the process; calls are serialised.
#pragma once

namespace vivuvav {

void StartKind(int kind) noexcept;
void StopKind(int kind) noexcept;
[[nodiscard]] bool AnyKindActive() noexcept;
void StopAllKinds() noexcept;

} // namespace vivuvav

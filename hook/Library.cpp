// The six entry points of the hook library. The exports are named by vivuvav.def, so
// that variants of the library can be linked from these sources with fewer exports.
#include <windows.h>

#include "HookThread.h"
#include "SharedReceiver.h"

extern "C" {

void WINAPI StartWatching(int kind) noexcept {
    vivuvav::StartKind(kind);
}

void WINAPI StopWatching(int kind) noexcept {
    vivuvav::StopKind(kind);
}

BOOL WINAPI StillWatching() noexcept {
    return vivuvav::AnyKindActive() ? TRUE : FALSE;
}

void WINAPI StopAll() noexcept {
    vivuvav::StopAllKinds();
}

BOOL WINAPI SetReceiver(HWND window) noexcept {
    return vivuvav::SetSharedReceiver(window) ? TRUE : FALSE;
}

HWND WINAPI GetReceiver() noexcept {
    return vivuvav::SharedReceiver();
}

} // extern "C"

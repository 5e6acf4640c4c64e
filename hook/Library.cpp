// The six entry points of the hook library. The exports are named by vivuvav.def, so
// that variants of the library can be linked from these sources with fewer exports.
#include <windows.h>

#include "HookThread.h"
#include "SharedReceiver.h"
#include "services/win/HookProtocol.h"

extern "C" {

void WINAPI StartWatching(int32_t kind) noexcept {
    vivuvav::StartKind(kind);
}

void WINAPI StopWatching(int32_t kind) noexcept {
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

// The exports have exactly the types the watch calls them through.
[[maybe_unused]] constexpr zevaver::hookprotocol::StartWatchingFunction StartWatchingType =
    &StartWatching;
[[maybe_unused]] constexpr zevaver::hookprotocol::StopWatchingFunction StopWatchingType =
    &StopWatching;
[[maybe_unused]] constexpr zevaver::hookprotocol::StillWatchingFunction StillWatchingType =
    &StillWatching;
[[maybe_unused]] constexpr zevaver::hookprotocol::StopAllFunction StopAllType = &StopAll;
[[maybe_unused]] constexpr zevaver::hookprotocol::SetReceiverFunction SetReceiverType =
    &SetReceiver;
[[maybe_unused]] constexpr zevaver::hookprotocol::GetReceiverFunction GetReceiverType =
    &GetReceiver;

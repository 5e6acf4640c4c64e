// A second watching process for the tests. It loads the hook library from its own folder
// and registers a receiver window of its own.
//   watch_peer hold  READY QUIT  registers, signals READY, waits for QUIT, exits 0.
//   watch_peer count READY QUIT  also watches the keyboard and counts the "A" key messages
//                                it receives until "B" is released (or QUIT is set); the
//                                exit code is the count.
// Exit code 100 means the registration was refused, 101 a setup failure.
#include <windows.h>

#include "framework/win/Handles.h"
#include "services/WatchEvents.h"

#include <cstring>
#include <string>

namespace {

using KindFunction = void(WINAPI*)(int);
using VoidFunction = void(WINAPI*)();
using SetReceiverFunction = BOOL(WINAPI*)(HWND);

UINT keyMessage = 0;
int countedA = 0;
bool sawBReleased = false;

LRESULT CALLBACK PeerProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) noexcept {
    if (message != 0 && message == keyMessage) {
        if (wParam == 'A') ++countedA;
        if (wParam == 'B' && (static_cast<uint32_t>(lParam) & watch::KeyReleaseBit)) {
            sawBReleased = true;
        }
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

template <typename Function> Function Entry(HMODULE library, const char* name) {
    return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(GetProcAddress(library, name)));
}

std::string LibraryPath() {
    char buffer[MAX_PATH * 4];
    const DWORD length = GetModuleFileNameA(nullptr, buffer, sizeof(buffer));
    if (length == 0 || length >= sizeof(buffer)) return {};
    return watch::PathBeside(std::string(buffer, length), "vivuvav.dll");
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 4) return 101;
    const bool counting = std::strcmp(argv[1], "count") == 0;
    fw::KernelHandle ready(OpenEventA(EVENT_MODIFY_STATE, FALSE, argv[2]));
    fw::KernelHandle quit(OpenEventA(SYNCHRONIZE, FALSE, argv[3]));
    fw::Library library(LoadLibraryA(LibraryPath().c_str()));
    if (!ready || !quit || !library) return 101;
    const auto setReceiver = Entry<SetReceiverFunction>(library.get(), "SetReceiver");
    const auto startWatching = Entry<KindFunction>(library.get(), "StartWatching");
    const auto stopAll = Entry<VoidFunction>(library.get(), "StopAll");
    if (!setReceiver || !startWatching || !stopAll) return 101;

    keyMessage = RegisterWindowMessageA("WATCH_KEY_EVENT");
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = &PeerProc;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = "MKWatchPeer";
    RegisterClassA(&windowClass);
    fw::Window window(CreateWindowExA(0, "MKWatchPeer", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                      GetModuleHandleA(nullptr), nullptr));
    if (!window) return 101;
    if (!setReceiver(window.get())) return 100;
    if (counting) startWatching(watch::KindKeyboard);
    SetEvent(ready.get());

    while (!sawBReleased) {
        const HANDLE quitHandle = quit.get();
        const DWORD woke = MsgWaitForMultipleObjects(1, &quitHandle, FALSE, INFINITE, QS_ALLINPUT);
        if (woke != WAIT_OBJECT_0 + 1) break;
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&message);
    }
    // Leaves the registration behind on purpose, like a program that ends abruptly.
    if (counting) stopAll();
    return counting ? countedA : 0;
}

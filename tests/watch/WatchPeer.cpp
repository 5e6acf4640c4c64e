// A second watching process for the tests: it loads the hook library beside itself and
// registers a receiver window of its own, then runs until it is ended.
//   watch_peer hold   only registers.
//   watch_peer count  watches the keyboard before registering, and exits with the number
//                     of "A" key messages received once "B" is released.
// Exit code 100 means the registration was refused, 101 a setup failure.
#include <windows.h>

#include "framework/win/Handles.h"
#include "services/WatchEvents.h"
#include "services/win/HookProtocol.h"

#include <cstring>
#include <string>

namespace zevaver {

namespace {

UINT keyMessage = 0;
int countedA = 0;
bool sawBReleased = false;

LRESULT CALLBACK PeerProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) noexcept {
    if (message != 0 && message == keyMessage) {
        if (wParam == 'A') ++countedA;
        if (wParam == 'B' && (static_cast<uint32_t>(lParam) & watch::KeyReleaseBit))
            sawBReleased = true;
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

template <typename Function> Function Entry(HMODULE library, const char* name) {
    return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(GetProcAddress(library, name)));
}

} // namespace

} // namespace zevaver

int main(int argc, char** argv) {
    using namespace zevaver;
    if (argc != 2) return 101;
    const bool counting = std::strcmp(argv[1], "count") == 0;
    char self[MAX_PATH * 4];
    const std::string path(self, GetModuleFileNameA(nullptr, self, sizeof(self)));
    fw::Library library(LoadLibraryA(watch::PathBeside(path, "vivuvav.dll").c_str()));
    if (!library) return 101;
    const auto setReceiver = Entry<BOOL(WINAPI*)(HWND)>(library.get(), "SetReceiver");
    const auto startWatching = Entry<void(WINAPI*)(int)>(library.get(), "StartWatching");
    if (!setReceiver || !startWatching) return 101;

    keyMessage = hookprotocol::RegisterMessages().key;
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = &PeerProc;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = "MKWatchPeer";
    RegisterClassA(&windowClass);
    fw::Window window(CreateWindowExA(0, "MKWatchPeer", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                      GetModuleHandleA(nullptr), nullptr));
    if (!window) return 101;
    // Watching first: once the registration shows, keystrokes are counted.
    if (counting) startWatching(watch::KindKeyboard);
    if (!setReceiver(window.get())) return 100;

    MSG message;
    while (!sawBReleased && GetMessageA(&message, nullptr, 0, 0) > 0) DispatchMessageA(&message);
    // Leaves the registration behind on purpose, like a program that ends abruptly.
    return countedA;
}

// The least program that plays a note from a system-wide key: a low-level keyboard hook
// on the main thread that sends the short message straight from the callback. The
// latency benchmark compares the real program with this.
#include <windows.h>
#include <mmsystem.h>

namespace {

HMIDIOUT port = nullptr;
bool zDown = false;

LRESULT CALLBACK KeyboardHook(int code, WPARAM wParam, LPARAM lParam) noexcept {
    if (code == HC_ACTION) {
        auto* key = reinterpret_cast<KBDLLHOOKSTRUCT*>(lParam);
        if (key->vkCode == 'Z') {
            bool up = (key->flags & LLKHF_UP) != 0;
            if (!up && !zDown) midiOutShortMsg(port, 0x7F3090);
            if (up && zDown) midiOutShortMsg(port, 0x003080);
            zDown = !up;
        }
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) noexcept {
    if (message == WM_CLOSE) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

} // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    midiOutOpen(&port, 0, 0, 0, CALLBACK_NULL);
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = &WindowProc;
    windowClass.hInstance = instance;
    windowClass.lpszClassName = "MinimalPlayer";
    RegisterClassA(&windowClass);
    CreateWindowExA(0, "MinimalPlayer", "Minimal player", WS_OVERLAPPED, 0, 0, 100, 100, nullptr,
                    nullptr, instance, nullptr);
    HHOOK hook = SetWindowsHookExA(WH_KEYBOARD_LL, &KeyboardHook, instance, 0);
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) DispatchMessageA(&message);
    UnhookWindowsHookEx(hook);
    midiOutReset(port);
    midiOutClose(port);
    return 0;
}

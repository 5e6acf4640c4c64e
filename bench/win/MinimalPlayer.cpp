// The least program that plays a note from a system-wide key: a low-level keyboard hook
// on the main thread that sends the short message straight from the callback. The
// latency benchmark compares the real program with this.
//
// With "/hop" the hook runs on a thread of its own and posts the key to a window of the
// main thread, which sends the message: the least program built like the real one (a hook
// library's thread delivering to a receiver window), to tell the cost of that hop apart.
// With "/show" its window is shown and painted: the least program that does at start what
// the real one does (opens the port, hooks the keyboard, shows a window), for start-up.
#include <windows.h>
#include <mmsystem.h>

#include <cstring>

namespace {

constexpr UINT KeyMessage = WM_APP + 1;

HMIDIOUT port = nullptr;
HWND receiver = nullptr;
bool hop = false;
bool show = false;
bool zDown = false;

void Play(bool up) {
    if (!up && !zDown) midiOutShortMsg(port, 0x7F3090);
    if (up && zDown) midiOutShortMsg(port, 0x003080);
    zDown = !up;
}

LRESULT CALLBACK KeyboardHook(int code, WPARAM wParam, LPARAM lParam) noexcept {
    if (code == HC_ACTION) {
        auto* key = reinterpret_cast<KBDLLHOOKSTRUCT*>(lParam);
        if (key->vkCode == 'Z') {
            const bool up = (key->flags & LLKHF_UP) != 0;
            if (hop)
                PostMessageA(receiver, KeyMessage, up ? 1 : 0, 0);
            else
                Play(up);
        }
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

DWORD WINAPI HookThread(void*) noexcept {
    HHOOK hook = SetWindowsHookExA(WH_KEYBOARD_LL, &KeyboardHook, GetModuleHandleA(nullptr), 0);
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) DispatchMessageA(&message);
    UnhookWindowsHookEx(hook);
    return 0;
}

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) noexcept {
    if (message == KeyMessage) {
        Play(wParam != 0);
        return 0;
    }
    if (message == WM_PAINT) {
        PAINTSTRUCT paint;
        const HDC dc = BeginPaint(window, &paint);
        FillRect(dc, &paint.rcPaint, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
        EndPaint(window, &paint);
        return 0;
    }
    if (message == WM_CLOSE) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

} // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int) {
    hop = commandLine && std::strstr(commandLine, "/hop") != nullptr;
    show = commandLine && std::strstr(commandLine, "/show") != nullptr;
    midiOutOpen(&port, 0, 0, 0, CALLBACK_NULL);
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = &WindowProc;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    windowClass.lpszClassName = "MinimalPlayer";
    RegisterClassA(&windowClass);
    receiver = CreateWindowExA(0, "MinimalPlayer", "Minimal player",
                               show ? WS_OVERLAPPEDWINDOW : WS_OVERLAPPED, 0, 0, show ? 700 : 100,
                               show ? 170 : 100, nullptr, nullptr, instance, nullptr);
    HHOOK hook = nullptr;
    DWORD hookThreadId = 0;
    HANDLE hookThread = nullptr;
    if (hop)
        hookThread = CreateThread(nullptr, 0, &HookThread, nullptr, 0, &hookThreadId);
    else
        hook = SetWindowsHookExA(WH_KEYBOARD_LL, &KeyboardHook, instance, 0);
    if (show) {
        ShowWindow(receiver, SW_SHOWNORMAL);
        UpdateWindow(receiver);
    }
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) DispatchMessageA(&message);
    if (hook) UnhookWindowsHookEx(hook);
    if (hookThread) {
        PostThreadMessageA(hookThreadId, WM_QUIT, 0, 0);
        WaitForSingleObject(hookThread, 5000);
        CloseHandle(hookThread);
    }
    midiOutReset(port);
    midiOutClose(port);
    return 0;
}
